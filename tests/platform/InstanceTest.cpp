#include "platform/Instance.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {
std::string UniqueName(const char* what)
{
    return std::string("QuorbSwapTest") + what + std::to_string(getpid()) + "Mutex";
}

// What a process of another user found, by its exit status.
const char* const kOtherUserFindings[] = {
    "",
    "could not become another user",
    "could not take the name another user holds",
    "its own second copy took the name as well",
    "its own second copy did not reach its first",
};
constexpr int kCannotChangeUser = 1;
constexpr uid_t kNobody = 65534;

// Runs in a forked child; needs nothing on disk once it is another user.
int RunCopiesAsOtherUser(const std::string& name)
{
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
        return kCannotChangeUser;
    Platform::Instance first;
    Platform::Instance second;
    if (!first.Acquire(name))
        return 2;
    if (second.Acquire(name))
        return 3;
    if (!Platform::Instance::NotifyHolder(name) || !first.PollRaise())
        return 4;
    return 0;
}

TEST(InstanceTest, OnlyOneHolderPerName)
{
    std::string name = UniqueName("Only");
    Platform::Instance first;
    Platform::Instance second;
    ASSERT_TRUE(first.Acquire(name));
    EXPECT_TRUE(first.IsHeld());
    EXPECT_FALSE(second.Acquire(name));
    EXPECT_FALSE(second.IsHeld());
    first.Release();
    EXPECT_TRUE(second.Acquire(name));
}

TEST(InstanceTest, RaiseRequestReachesTheHolderOnce)
{
    std::string name = UniqueName("Raise");
    Platform::Instance holder;
    ASSERT_TRUE(holder.Acquire(name));
    EXPECT_FALSE(holder.PollRaise());
    ASSERT_TRUE(Platform::Instance::NotifyHolder(name));
    EXPECT_TRUE(holder.PollRaise());
    EXPECT_FALSE(holder.PollRaise());
}

// Another user's copy is not this program already running: it takes the
// name beside ours, and its own second copy hands over to it, not to ours.
TEST(InstanceTest, EachUserHoldsTheNameApart)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can start a process of another user here";
    std::string name = UniqueName("Users");
    Platform::Instance ours;
    ASSERT_TRUE(ours.Acquire(name));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(RunCopiesAsOtherUser(name));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    const int found = WEXITSTATUS(status);
    if (found == kCannotChangeUser)
        GTEST_SKIP() << "could not become user " << kNobody << " in a child process";
    ASSERT_LT(found, static_cast<int>(std::size(kOtherUserFindings)));
    EXPECT_EQ(found, 0) << "another user's copy " << kOtherUserFindings[found];
    EXPECT_FALSE(ours.PollRaise());
}

TEST(InstanceTest, NobodyToNotifyWithoutAHolder)
{
    EXPECT_FALSE(Platform::Instance::NotifyHolder(UniqueName("Nobody")));
}

TEST(InstanceTest, NamesTooLongForTheAddressAreRefused)
{
    Platform::Instance instance;
    EXPECT_FALSE(instance.Acquire(std::string(200, 'x')));
    EXPECT_FALSE(instance.Acquire(""));
}
} // namespace
