#include "support/ChildExit.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

ChildExit RunInChild(const std::function<void()>& statement)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {-1, "no pipe"};
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], 2);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        statement();
        std::_Exit(0);
    }
    close(pipeEnds[1]);
    ChildExit exit{-1, ""};
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof(buffer))) != 0;) {
        if (got > 0)
            exit.errorText.append(buffer, size_t(got));
        else if (errno != EINTR)
            break;
    }
    close(pipeEnds[0]);
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        exit.code = WEXITSTATUS(status);
    return exit;
}
