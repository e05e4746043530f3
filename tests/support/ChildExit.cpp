#include "support/ChildExit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// How many assertions of the running test have failed in this process.
int FailedAssertions()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (test == nullptr)
        return 0;
    int failed = 0;
    for (int i = 0; i < test->result()->total_part_count(); ++i)
        failed += test->result()->GetTestPartResult(i).failed();
    return failed;
}
} // namespace

void EndChild(const std::function<int()>& body)
{
    const int failedBefore = FailedAssertions();
    int code = kChildThrew;
    try {
        code = body();
    } catch (const std::exception& thrown) {
        std::fprintf(stderr, "the test's child process threw: %s\n", thrown.what());
    } catch (...) {
        std::fprintf(stderr, "the test's child process threw something other than an exception\n");
    }
    if (code != kChildThrew && FailedAssertions() > failedBefore)
        code = kChildFailed;
    std::fflush(nullptr);
    _exit(code);
}

void FailOnChildFault(int code, const std::string& said)
{
    if (code == kChildThrew)
        ADD_FAILURE() << (said.empty() ? "the test's child process threw (its output says what)" : said);
    else if (code == kChildFailed)
        ADD_FAILURE() << "an assertion failed in the test's child process (its output says which); it said: "
                      << said;
}

pid_t StartWorkingChild(const std::function<void()>& work)
{
    int begun[2];
    if (pipe(begun) != 0)
        return -1;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(begun[0]);
        const char byte = 0;
        if (write(begun[1], &byte, 1) != 1)
            _exit(kChildFailed);
        close(begun[1]);
        EndChild([&work] {
            work();
            return 0;
        });
    }
    close(begun[1]);
    char byte = 0;
    const bool working = child > 0 && read(begun[0], &byte, 1) == 1;
    close(begun[0]);
    if (child > 0 && !working)
        waitpid(child, nullptr, 0);
    return working ? child : -1;
}

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
        EndChild([&statement] {
            statement();
            return 0;
        });
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
    FailOnChildFault(exit.code, exit.errorText);
    return exit;
}
