#include "platform/Folders.h"

#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Platform::Folders {
namespace {
// XDG variables count only when they hold an absolute path.
std::string AbsoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return std::string();
    return value;
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string Home()
{
    std::string home = AbsoluteFromEnvironment("HOME");
    if (!home.empty())
        return WithoutTrailingSlash(home);
    passwd entry;
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return std::string();
}

std::string ConfigHome()
{
    std::string config = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (!config.empty())
        return config;
    std::string home = Home();
    return home.empty() ? home : home + "/.config";
}

// One line of user-dirs.dirs: NAME="$HOME/Folder" or NAME="/absolute".
std::string ValueOfLine(const std::string& line, const std::string& name)
{
    std::string prefix = name + "=\"";
    if (line.compare(0, prefix.size(), prefix) != 0)
        return std::string();
    size_t close = line.find('"', prefix.size());
    if (close == std::string::npos)
        return std::string();
    std::string value = line.substr(prefix.size(), close - prefix.size());
    if (value.compare(0, 5, "$HOME") == 0)
        value = Home() + value.substr(5);
    return value.empty() || value[0] != '/' ? std::string() : WithoutTrailingSlash(value);
}

std::string UserDirectory(const char* name)
{
    std::string config = ConfigHome();
    if (config.empty())
        return std::string();
    // Opened as the game's files are: a pipe at the name does not hold the start.
    std::FILE* file = Files::OpenForReading(config + "/user-dirs.dirs");
    if (!file)
        return std::string();
    std::string found;
    char line[4096];
    while (found.empty() && std::fgets(line, sizeof(line), file))
        found = ValueOfLine(line, name);
    std::fclose(file);
    return found;
}

std::string TemporaryFolder()
{
    const std::string temporary = AbsoluteFromEnvironment("TMPDIR");
    return temporary.empty() ? "/tmp" : WithoutTrailingSlash(temporary);
}

std::string OwnPlaceInTemporary()
{
    return TemporaryFolder() + "/qs-runtime-" + std::to_string(geteuid());
}

std::string OwnPlaceInDataHome()
{
    const std::string data = DataHome();
    return data.empty() ? data : data + "/qs-runtime";
}

bool IsOwnPlace(const std::string& place)
{
    return place == OwnPlaceInTemporary() || place == OwnPlaceInDataHome();
}
} // namespace

std::string Program()
{
    std::vector<char> buffer(4096);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return std::string();
    std::string path(buffer.data(), size_t(length));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Documents()
{
    std::string documents = UserDirectory("XDG_DOCUMENTS_DIR");
    return documents.empty() ? Home() : documents;
}

std::string Desktop()
{
    std::string desktop = UserDirectory("XDG_DESKTOP_DIR");
    if (!desktop.empty())
        return desktop;
    std::string home = Home();
    return home.empty() ? home : home + "/Desktop";
}

std::string DataHome()
{
    std::string data = AbsoluteFromEnvironment("XDG_DATA_HOME");
    if (!data.empty())
        return WithoutTrailingSlash(data);
    std::string home = Home();
    return home.empty() ? home : home + "/.local/share";
}

std::string DataFolderTemplate()
{
    std::string data = DataHome();
    return data.empty() ? data : data + "/(PUBLISHER)/(NAME OF GAME)";
}

std::vector<std::string> PrivatePlaces()
{
    std::vector<std::string> places;
    const std::string runtime = WithoutTrailingSlash(AbsoluteFromEnvironment("XDG_RUNTIME_DIR"));
    if (!runtime.empty())
        places.push_back(runtime);
    places.push_back(OwnPlaceInTemporary());
    if (!OwnPlaceInDataHome().empty())
        places.push_back(OwnPlaceInDataHome());
    return places;
}

std::string WhyNotPrivate(const std::string& place)
{
    const bool own = IsOwnPlace(place);
    struct stat info;
    if (own && lstat(place.c_str(), &info) != 0) {
        const std::string problem = Files::MakeWritableFolder(place);
        if (!problem.empty())
            return "cannot be made (" + problem + ")";
    }
    if (place.empty() || lstat(place.c_str(), &info) != 0)
        return std::string("cannot be read (") + std::strerror(errno) + ")";
    if (S_ISLNK(info.st_mode))
        return "is a link";
    if (!S_ISDIR(info.st_mode))
        return "is not a folder";
    if (info.st_uid != geteuid())
        return "is another user's";
    if ((info.st_mode & 077) != 0 && !(own && chmod(place.c_str(), 0700) == 0))
        return "is open to other users";
    return std::string();
}
} // namespace Platform::Folders
