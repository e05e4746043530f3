#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

// The game's temporary files are named "." + the file's name + kMarker +
// "<process>-<run>-" + six letters or digits. The marker is the game's own, so clearing what cut writes left
// never takes a file of anyone else's. A write is running while its writer
// holds a lock on the temporary file itself: process numbers say nothing
// across PID namespaces (a sandboxed copy may be pid 1 at every start) and
// come back in later runs, while the system lets a lock go with the
// process.
constexpr char kMarker[] = ".qs-unfinished-";
// New names to try when a name is taken, or when a clearing write takes a
// temporary for a left one between its making and its locking.
constexpr int kTemporaryAttempts = 8;

bool IsTemporarySuffix(const std::string& text)
{
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) != 0;
           });
}

bool IsNumber(const std::string& text)
{
    return !text.empty() && text.size() < 10 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

struct RunMark
{
    char text[17];
};

RunMark MakeRunMark()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    RunMark mark{};
    std::snprintf(mark.text, sizeof(mark.text), "%016llx",
                  static_cast<unsigned long long>(now.tv_sec) * 1000000000ull +
                      static_cast<unsigned long long>(now.tv_nsec));
    return mark;
}

// Made before main, so a write (the crash report's among them) only reads
// it; plain characters, which no destructor takes away before a fault at
// the process's very end.
const RunMark thisRun = MakeRunMark();

// Room for a temporary file's path: a long path and what the name adds.
constexpr size_t kTemporaryRoom = 4200;
constexpr size_t kSuffixLength = 6;

// A path built in place, without the heap; full once something did not fit.
struct PathBuilder
{
    char (&text)[kTemporaryRoom];
    size_t length = 0;
    bool full = false;

    void Add(const char* part, size_t count)
    {
        full = full || length + count >= sizeof(text);
        if (full)
            return;
        std::memcpy(text + length, part, count);
        length += count;
        text[length] = '\0';
    }
    void Add(const char* part) { Add(part, std::strlen(part)); }
    void AddNumber(unsigned long value)
    {
        char digits[24];
        size_t count = 0;
        do
            digits[sizeof(digits) - ++count] = static_cast<char>('0' + value % 10);
        while ((value /= 10) != 0);
        Add(digits + sizeof(digits) - count, count);
    }
};

// The temporary file's path for the target, up to its six last letters;
// false when it does not fit. The process and the run stay in the name as
// earlier versions of the game, which judge a write by them, read it.
bool TemporaryPrefixOf(const char* target, PathBuilder& path)
{
    const char* slash = std::strrchr(target, '/');
    const char* name = slash != nullptr ? slash + 1 : target;
    path.Add(target, static_cast<size_t>(name - target));
    path.Add(".");
    path.Add(name);
    path.Add(kMarker);
    path.AddNumber(static_cast<unsigned long>(getpid()));
    path.Add("-");
    path.Add(thisRun.text);
    path.Add("-");
    path.Add("XXXXXX");
    return !path.full && name[0] != '\0';
}

// Six letters or digits that differ from one try to the next.
void PutSuffix(char* at, int attempt)
{
    static const char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    auto value = static_cast<unsigned long long>(now.tv_nsec) * 131u + static_cast<unsigned long long>(attempt);
    for (size_t i = 0; i < kSuffixLength; ++i, value /= sizeof(kLetters) - 1)
        at[i] = kLetters[value % (sizeof(kLetters) - 1)];
}

// Whether a name is one the game gives its temporary files.
bool IsGameTemporary(const std::string& entry)
{
    const size_t marker = entry.rfind(kMarker);
    if (entry.empty() || entry[0] != '.' || marker == std::string::npos || marker < 2)
        return false;
    const std::string rest = entry.substr(marker + sizeof(kMarker) - 1);
    const size_t first = rest.find('-');
    const size_t last = rest.rfind('-');
    if (first == std::string::npos || first == last || !IsTemporarySuffix(rest.substr(last + 1)))
        return false;
    return IsNumber(rest.substr(0, first)) && last > first + 1;
}

// Removes a temporary file whose write has ended without renaming it: a
// plain file nobody holds locked. The lock is kept until the name is gone,
// so a writer that locks the file after us sees it unlinked. A link of that
// name is neither followed nor removed.
void RemoveIfUnlocked(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened;
    struct stat named;
    if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
        unlink(path.c_str());
    close(fd);
}

// A new temporary file of the target's, locked and still named, its path in
// "temporary"; -1 when none can be made. The file is made before it can be
// locked, and a clearing write that finds it in between takes it for a left
// one: then the lock is taken or the name gone, and another name is tried.
// Without the heap.
int OpenLockedTemporary(const char* target, char (&temporary)[kTemporaryRoom])
{
    PathBuilder path{temporary};
    if (!TemporaryPrefixOf(target, path))
        return -1;
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        PutSuffix(temporary + path.length - kSuffixLength, attempt);
        const int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return -1;
        struct stat info;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &info) == 0 && info.st_nlink > 0)
            return fd;
        close(fd);
    }
    return -1;
}

// The bytes as the whole target, through a temporary file renamed over it.
// Without the heap.
bool WriteThroughTemporary(const char* target, const void* bytes, size_t size)
{
    char temporary[kTemporaryRoom];
    const int fd = OpenLockedTemporary(target, temporary);
    if (fd < 0)
        return false;
    // Renamed while still locked: until then the write is running.
    const bool ok = WriteAll(fd, bytes, size) && fsync(fd) == 0 && rename(temporary, target) == 0;
    if (!ok)
        unlink(temporary);
    return close(fd) == 0 && ok;
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

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(Resolve(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

namespace {
Failure FailureOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Failure::Missing;
    case EACCES:
    case EPERM:
        return Failure::NoPermission;
    case ENOSPC:
    case EDQUOT:
        return Failure::DiskFull;
    case EROFS:
        return Failure::ReadOnlyDisk;
    case EIO:
        return Failure::DiskError;
    case EISDIR:
        return Failure::NotAFile;
    default:
        return Failure::Other;
    }
}

Outcome OutcomeOf(int error)
{
    return Outcome{FailureOf(error), std::strerror(error), std::string()};
}

// The first folder of the path that cannot be searched: the one above the
// first name of it that the system refuses to look up; empty when every
// name of it can be looked up, and the file itself refused.
std::string UnsearchableFolderOf(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        struct stat info;
        if (stat(path.substr(0, slash).c_str(), &info) != 0)
            return errno == EACCES ? FolderOf(path.substr(0, slash)) : std::string();
    }
    struct stat info;
    return stat(path.c_str(), &info) != 0 && errno == EACCES ? FolderOf(path) : std::string();
}

// Opened without waiting and kept only when a plain file is at the name
// (and, for "ownOnly", one of this user's); -1 otherwise, with the outcome.
int OpenPlainFile(const std::string& path, int flags, bool ownOnly, Outcome& outcome)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | flags);
    if (fd < 0) {
        outcome = OutcomeOf(errno);
        if (outcome.failure == Failure::NoPermission)
            outcome.folder = UnsearchableFolderOf(path);
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) != 0)
        outcome = OutcomeOf(errno);
    else if (!S_ISREG(info.st_mode))
        outcome = Outcome{Failure::NotAFile, "not a plain file", std::string()};
    else if (ownOnly && info.st_uid != geteuid())
        outcome = Outcome{Failure::NoPermission, "another user's file", std::string()};
    else
        return fd;
    close(fd);
    return -1;
}

Outcome ReadAll(int fd, std::vector<uint8_t>& bytes)
{
    uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof(chunk));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            const Outcome outcome = got == 0 ? Outcome{} : OutcomeOf(errno);
            close(fd);
            if (outcome.failure != Failure::None)
                bytes.clear();
            return outcome;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

Outcome ReadPlainFile(const std::string& path, int flags, bool ownOnly, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    Outcome outcome;
    const int fd = OpenPlainFile(path, flags, ownOnly, outcome);
    return fd < 0 ? outcome : ReadAll(fd, bytes);
}
} // namespace

Outcome ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    return ReadPlainFile(Resolve(path), 0, false, bytes);
}

Outcome Examine(const std::string& path)
{
    Outcome outcome;
    const int fd = OpenPlainFile(Resolve(path), 0, false, outcome);
    if (fd >= 0)
        close(fd);
    return outcome;
}

Presence Exists(const std::string& path, Outcome* why)
{
    const Outcome outcome = Examine(path);
    if (why != nullptr)
        *why = outcome;
    if (outcome.failure == Failure::Missing)
        return Presence::Missing;
    return outcome.failure == Failure::None ? Presence::Readable : Presence::Unreadable;
}

bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes)
{
    return ReadFile(path, bytes).failure == Failure::None;
}

bool ReadOwnFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    return ReadPlainFile(path, O_NOFOLLOW, true, bytes).failure == Failure::None;
}

std::FILE* OpenForReading(const std::string& path)
{
    Outcome outcome;
    const int fd = OpenPlainFile(Resolve(path), 0, false, outcome);
    std::FILE* file = fd >= 0 ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr && fd >= 0)
        close(fd);
    return file;
}

// A write cut short by the death of the process leaves its temporary file
// for good; the next write into the same folder clears the game's own, and
// nothing else. A name without the marker, such as ".config.cfg.backup" (a
// player's), stays.
void ClearLeftTemporaries(const std::string& folder)
{
    for (const std::string& entry : NamesIn(folder)) {
        if (IsGameTemporary(entry))
            RemoveIfUnlocked(JoinPath(folder, entry));
    }
}

bool WriteWhole(const std::string& path, const void* bytes, size_t size)
{
    const std::string target = Resolve(path);
    ClearLeftTemporaries(FolderOf(target));
    return WriteThroughTemporary(target.c_str(), bytes, size);
}

// The step that failed left its reason in errno: the clearing of the
// temporary after it succeeds, which leaves errno alone.
Outcome Replace(const std::string& path, const void* bytes, size_t size)
{
    return WriteWhole(path, bytes, size) ? Outcome{} : OutcomeOf(errno);
}

bool WriteWholeAtFault(const char* path, const void* bytes, size_t size)
{
    return WriteThroughTemporary(path, bytes, size);
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

namespace {
// Where the data folder is: what is the game's is reached through its
// mount, not through one laid over a name in it. Another file system lies
// only behind a mount of its own, so the mount tells that too, where the
// device number does not (an overlay's layers each have their own).
struct Home
{
    uint64_t mount;
};

// The mount a descriptor's file is reached through; nothing when the system
// does not tell. Before Linux 5.8 statx does not, and /proc does.
std::optional<uint64_t> MountOf(int fd)
{
    struct statx info = {};
    if (statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &info) == 0 && (info.stx_mask & STATX_MNT_ID) != 0)
        return info.stx_mnt_id;
    char fdinfo[48];
    std::snprintf(fdinfo, sizeof(fdinfo), "/proc/self/fdinfo/%d", fd);
    std::FILE* file = std::fopen(fdinfo, "re");
    std::optional<uint64_t> mount;
    char line[128];
    unsigned long long id = 0;
    while (file != nullptr && !mount && std::fgets(line, sizeof(line), file) != nullptr) {
        if (std::sscanf(line, "mnt_id: %llu", &id) == 1)
            mount = id;
    }
    if (file != nullptr)
        std::fclose(file);
    return mount;
}

// Whether the opened file is the game's to change: a plain file or a folder
// (no device, pipe, socket or link), this user's, where the data folder is.
bool IsTheGames(int fd, const struct stat& info, const Home& home)
{
    return (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) && info.st_uid == geteuid() &&
           MountOf(fd) == home.mount;
}

// fchmod takes no O_PATH descriptor. Linux 6.6's fchmodat2 does; before it,
// the descriptor's entry in /proc, which leads to the very file it holds.
void CloseToOthers(int fd, mode_t mode)
{
    if ((mode & 077) == 0)
        return;
#ifdef SYS_fchmodat2
    if (syscall(SYS_fchmodat2, fd, "", mode & 07700, AT_EMPTY_PATH) == 0)
        return;
#endif
    char own[32];
    std::snprintf(own, sizeof(own), "/proc/self/fd/%d", fd);
    chmod(own, mode & 07700);
}

// The names in a folder held open, read through a descriptor of its own.
std::vector<std::string> NamesInOpenFolder(int folder)
{
    std::vector<std::string> names;
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        if (listing >= 0)
            close(listing);
        return names;
    }
    while (dirent* entry = readdir(dir)) {
        if (!IsDotEntry(entry->d_name))
            names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

void MakeOpenedPrivate(int fd, const Home& home);

// An entry opened once, by its name in the folder held open, as it is:
// a link as the link (O_PATH opens nothing, so no device's driver is
// called and no pipe waits). All else goes through that descriptor.
void MakeEntryPrivate(int folder, const std::string& name, const Home& home)
{
    const int fd = openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    MakeOpenedPrivate(fd, home);
    close(fd);
}

void MakeOpenedPrivate(int fd, const Home& home)
{
    struct stat info;
    if (fstat(fd, &info) != 0 || !IsTheGames(fd, info, home))
        return;
    CloseToOthers(fd, info.st_mode);
    if (S_ISDIR(info.st_mode)) {
        for (const std::string& name : NamesInOpenFolder(fd))
            MakeEntryPrivate(fd, name, home);
    }
}
} // namespace

void MakePrivate(const std::string& path)
{
    const int fd = open(WithoutTrailingSlash(path).c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    const std::optional<uint64_t> mount = MountOf(fd);
    if (mount)
        MakeOpenedPrivate(fd, Home{*mount});
    close(fd);
}

bool MakeFolder(const std::string& path)
{
    std::string folder = Resolve(path);
    // An existing folder may also answer with a permission error.
    return mkdir(folder.c_str(), 0700) == 0 || IsFolder(folder);
}

std::string MakeWritableFolder(const std::string& path)
{
    const std::string folder = WithoutTrailingSlash(Resolve(path));
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string step = folder.substr(0, slash);
        if (mkdir(step.c_str(), 0700) != 0) {
            // A file in the way answers that it exists.
            const int reason = errno == EEXIST ? ENOTDIR : errno;
            if (!IsFolder(step))
                return step + ": " + std::strerror(reason);
        }
        if (slash == std::string::npos)
            break;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return folder + ": " + std::strerror(errno);
    return std::string();
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
bool WriteAll(int fd, const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
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
} // namespace Platform::Files
