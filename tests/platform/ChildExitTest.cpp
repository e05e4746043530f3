#include "support/ChildExit.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
// The failures the statement reported in this process, kept from the test.
std::vector<testing::TestPartResult> FailuresOf(const std::function<void()>& statement)
{
    testing::TestPartResultArray failures;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        statement();
    }
    std::vector<testing::TestPartResult> kept;
    for (int i = 0; i < failures.size(); ++i)
        kept.push_back(failures.GetTestPartResult(i));
    return kept;
}

// "body" ended through EndChild in a forked child: its exit code (-1 when
// a signal ended it) and what it wrote, the test framework's output too.
ChildExit EndInChild(const std::function<int()>& body)
{
    int ends[2];
    if (pipe(ends) != 0)
        return {-1, "no pipe"};
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(ends[1], 1);
        dup2(ends[1], 2);
        close(ends[0]);
        close(ends[1]);
        EndChild(body);
    }
    close(ends[1]);
    ChildExit ended{-1, ""};
    char buffer[512];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof(buffer))) > 0;)
        ended.errorText.append(buffer, size_t(got));
    close(ends[0]);
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        ended.code = WEXITSTATUS(status);
    return ended;
}
} // namespace

// Whatever a forked child's statement does, the child ends there with a
// code: an exception reaching the test framework in the child would run the
// rest of the suite in it and end with a code the test takes for its own.
// A throw or an assertion failed in the child fails the test, saying why;
// a code of the statement's own is left to the test.
TEST(ChildExitTest, AChildThatThrowsOrFailsEndsWithACodeOfItsOwnAndFailsTheTest)
{
    const struct
    {
        const char* what;
        std::function<int()> body;
        int code;
        const char* said; // on standard error; the failure reported names it
    } cases[] = {
        {"returns a code", [] { return 1; }, 1, nullptr},
        {"throws an exception", []() -> int { throw std::runtime_error("no folder"); }, kChildThrew,
         "the test's child process threw: no folder"},
        {"throws something else", []() -> int { throw 1; }, kChildThrew, "other than an exception"},
        {"fails an assertion",
         [] {
             EXPECT_EQ(1 + 1, 3);
             return 0;
         },
         kChildFailed, "an assertion failed"},
    };
    for (const auto& c : cases) {
        const ChildExit ended = EndInChild(c.body);
        EXPECT_EQ(ended.code, c.code) << c.what << "; it said: " << ended.errorText;
        const auto failures = FailuresOf([&] { FailOnChildFault(ended.code, ended.errorText); });
        ASSERT_EQ(failures.size(), c.said != nullptr ? 1u : 0u) << c.what;
        if (c.said != nullptr) {
            EXPECT_TRUE(failures[0].nonfatally_failed()) << c.what;
            const std::string message = failures[0].message();
            EXPECT_NE(message.find(c.said), std::string::npos) << c.what << ": " << message;
        }
    }
    // RunInChild ends its child the same way and reports it.
    ChildExit ran{-1, ""};
    const auto failures =
        FailuresOf([&] { ran = RunInChild([] { throw std::runtime_error("no folder"); }); });
    EXPECT_EQ(ran.code, kChildThrew) << ran.errorText;
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(std::string(failures[0].message()).find("threw: no folder"), std::string::npos)
        << failures[0].message();
}
