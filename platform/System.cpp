#include "platform/System.h"

#include <SDL.h>
#include <algorithm>
#include <cerrno>
#include <pwd.h>
#include <sys/resource.h>
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

void LowerThreadPriority(int steps)
{
    // On Linux the nice value belongs to each thread: the thread's own id
    // names it alone.
    const id_t thread = static_cast<id_t>(gettid());
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, thread);
    if (now == -1 && errno != 0)
        return;
    constexpr int kLowest = 19;
    setpriority(PRIO_PROCESS, thread, std::min(now + steps, kLowest));
}
} // namespace Platform::System
