#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform::Files {
namespace {
std::string WithSlashes(const std::string& path)
{
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

bool ExistsExactly(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool LessNoCase(const std::string& a, const std::string& b)
{
    int order = strcasecmp(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
}

bool IsDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// The names in a folder, in case-insensitive order (ties by exact bytes, so
// the order never depends on the file system).
std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        if (!IsDotEntry(entry->d_name))
            names.push_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), LessNoCase);
    return names;
}

std::string MatchNoCase(const std::string& folder, const std::string& component)
{
    for (const std::string& name : NamesIn(folder)) {
        if (strcasecmp(name.c_str(), component.c_str()) == 0)
            return name;
    }
    return component;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Trailing separators dropped, except for the root itself.
std::string WithoutTrailingSlash(const std::string& path)
{
    size_t end = path.find_last_not_of('/');
    return end == std::string::npos ? path.substr(0, 1) : path.substr(0, end + 1);
}

std::string LastComponent(const std::string& path)
{
    std::string trimmed = WithoutTrailingSlash(path);
    size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos || trimmed == "/")
        return trimmed;
    return trimmed.substr(slash + 1);
}

bool WriteAll(int fd, const uint8_t* bytes, size_t size)
{
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= size_t(written);
    }
    return true;
}

// Whether "entry" is one of WriteWhole's temporary files: a dot, the name of
// the file written, a dot and the six letters or digits mkstemp puts in
// place of its XXXXXX.
bool IsTemporaryName(const std::string& entry)
{
    constexpr size_t kSuffix = 7; // ".XXXXXX"
    if (entry.size() < 2 + kSuffix || entry[0] != '.' || entry[entry.size() - kSuffix] != '.')
        return false;
    return std::all_of(entry.end() - 6, entry.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// The temporary files of writes still running in this process, which the
// clearing of leftovers must not take from under them. Recursive: a fault
// inside a write reports through a write on the same thread.
std::recursive_mutex inFlightLock;
std::set<std::string> inFlight;

// A write cut short by the death of the process leaves its temporary file
// for good; the next write into the same folder clears them, whichever file
// they were for. Only plain files go: a link of that pattern is neither
// followed nor removed.
void RemoveLeftTemporaries(const std::string& folder)
{
    for (const std::string& entry : NamesIn(folder)) {
        const std::string path = JoinPath(folder, entry);
        struct stat info;
        if (IsTemporaryName(entry) && inFlight.count(path) == 0 && lstat(path.c_str(), &info) == 0 &&
            S_ISREG(info.st_mode))
            unlink(path.c_str());
    }
}

// Removes one entry found inside a folder being deleted. A symbolic link is
// an entry of its own (lstat): removing it never touches what it points at.
bool DeleteEntry(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode))
        return unlink(path.c_str()) == 0;
    bool removed = true;
    for (const std::string& name : NamesIn(path))
        removed = DeleteEntry(JoinPath(path, name)) && removed;
    return rmdir(path.c_str()) == 0 && removed;
}
} // namespace

std::string Resolve(const std::string& path)
{
    std::string slashed = WithSlashes(path);
    if (slashed.empty() || ExistsExactly(slashed))
        return slashed;
    std::string resolved = slashed[0] == '/' ? "/" : "";
    bool missing = false;
    size_t start = resolved.size();
    while (start <= slashed.size()) {
        size_t end = slashed.find('/', start);
        if (end == std::string::npos)
            end = slashed.size();
        std::string component = slashed.substr(start, end - start);
        if (!component.empty() && component != "." && component != "..") {
            std::string exact = JoinPath(resolved, component);
            // Once a folder is missing nothing below it can exist.
            if (!missing && !ExistsExactly(exact)) {
                component = MatchNoCase(resolved, component);
                missing = !ExistsExactly(JoinPath(resolved, component));
            }
        }
        resolved = JoinPath(resolved, component);
        if (end < slashed.size())
            resolved += '/';
        start = end + 1;
    }
    return resolved;
}

bool Exists(const std::string& path)
{
    return access(Resolve(path).c_str(), F_OK) == 0;
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(Resolve(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::FILE* OpenForReading(const std::string& path)
{
    return std::fopen(Resolve(path).c_str(), "rb");
}

bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* file = OpenForReading(path);
    if (!file)
        return false;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok)
        bytes.clear();
    return ok;
}

bool WriteWhole(const std::string& path, const void* bytes, size_t size)
{
    std::string target = Resolve(path);
    std::string temporary = JoinPath(FolderOf(target), "." + LastComponent(target) + ".XXXXXX");
    int fd = -1;
    {
        std::lock_guard<std::recursive_mutex> guard(inFlightLock);
        RemoveLeftTemporaries(FolderOf(target));
        fd = mkstemp(temporary.data());
        if (fd >= 0)
            inFlight.insert(temporary);
    }
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(bytes), size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    // mkstemp makes the file private; a saved file gets the usual rights.
    ok = ok && chmod(temporary.c_str(), 0644) == 0;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        unlink(temporary.c_str());
    std::lock_guard<std::recursive_mutex> guard(inFlightLock);
    inFlight.erase(temporary);
    return ok;
}

std::vector<FolderEntry> ListFolder(const std::string& path)
{
    std::vector<FolderEntry> entries;
    std::string folder = Resolve(path);
    for (const std::string& name : NamesIn(folder)) {
        struct stat info;
        bool isFolder = stat(JoinPath(folder, name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        entries.push_back(FolderEntry{name, isFolder});
    }
    return entries;
}

bool MakeFolder(const std::string& path)
{
    std::string folder = Resolve(path);
    // An existing folder may also answer with a permission error.
    return mkdir(folder.c_str(), 0755) == 0 || IsFolder(folder);
}

bool DeleteFile(const std::string& path)
{
    return unlink(Resolve(path).c_str()) == 0;
}

bool Rename(const std::string& from, const std::string& to)
{
    return rename(Resolve(from).c_str(), Resolve(to).c_str()) == 0;
}

bool DeleteFolderTree(const std::string& path)
{
    // Without the trailing '/', lstat sees a link to a folder as the link.
    std::string folder = WithoutTrailingSlash(Resolve(path));
    std::string last = LastComponent(folder);
    if (folder.empty() || last == "/" || last == "." || last == "..")
        return false;
    struct stat info;
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    return DeleteEntry(folder);
}
} // namespace Platform::Files
