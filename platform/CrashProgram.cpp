#include "platform/Crash.h"

#include "platform/Files.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace Platform::Crash {
// Started without fork: fork takes every lock of the allocator first, and a
// thread stopped for good inside it (the fault may have come from there)
// would keep the reporter from ever starting. The child gets no blocked
// signals. A pending alarm is cancelled: the user may take their time over
// the report.
bool RunProgram(const char* const* arguments)
{
    if (arguments == nullptr || arguments[0] == nullptr)
        return false;
    alarm(0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t child = -1;
    const bool started = posix_spawn(&child, arguments[0], nullptr, &attributes,
                                     const_cast<char* const*>(arguments), environ) == 0;
    posix_spawnattr_destroy(&attributes);
    if (!started)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void WriteError(const char* const* texts)
{
    for (; *texts != nullptr; ++texts)
        Files::WriteAll(STDERR_FILENO, *texts, std::strlen(*texts));
}
} // namespace Platform::Crash
