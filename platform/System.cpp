#include "platform/System.h"

#include <SDL.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace Platform::System {
std::string Description()
{
    utsname name;
    if (uname(&name) != 0) {
        return std::string();
    }
    return std::string(name.sysname) + " " + name.release + " " + name.version + " - " + name.machine;
}

std::string UserName()
{
    passwd entry;
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_name) {
        return std::string();
    }
    return found->pw_name;
}

std::string DisplayLibraryVersion()
{
    SDL_version version;
    SDL_GetVersion(&version);
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.patch);
}
} // namespace Platform::System
