#include "platform/Instance.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <grp.h>
#include <iterator>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
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

// A socket under the name the copies of user "owner" use, bound (or
// reached, with a raise request) by whoever runs this, not through Instance.
int RawSocket(const std::string& name, uid_t owner, bool bindIt)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string owned = name + "." + std::to_string(owner);
    std::memcpy(address.sun_path + 1, owned.data(), owned.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + owned.size());
    const auto* where = reinterpret_cast<const sockaddr*>(&address);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool done = bindIt ? bind(fd, where, length) == 0 && listen(fd, 1) == 0
                             : connect(fd, where, length) == 0 && send(fd, "raise", 5, MSG_NOSIGNAL) == 5;
    return done ? fd : -1;
}

// As another user: asks our holder to raise, squats the other name, says so
// on "ready" and keeps it until "done" closes.
int SquatAsOtherUser(const std::string& ours, const std::string& squatted, uid_t owner, int ready, int done)
{
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
        return kCannotChangeUser;
    if (RawSocket(ours, owner, false) < 0 || RawSocket(squatted, owner, true) < 0)
        return 2;
    char byte = 0;
    if (write(ready, &byte, 1) != 1)
        return 2;
    while (read(done, &byte, 1) > 0) {
    }
    return 0;
}

// Anybody may bind or reach a name in the abstract namespace: another user
// squatting our name must not end our game, nor raise it.
TEST(InstanceTest, AnotherUsersSocketUnderOurNameIsNeitherHolderNorVoice)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can start a process of another user here";
    const std::string ours = UniqueName("Ours");
    const std::string squatted = UniqueName("Squatted");
    Platform::Instance holder;
    ASSERT_TRUE(holder.Acquire(ours));
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(done[1]);
        _exit(SquatAsOtherUser(ours, squatted, getuid(), ready[1], done[0]));
    }
    close(ready[1]);
    close(done[0]);
    char byte;
    const bool squatting = read(ready[0], &byte, 1) == 1;
    if (squatting) {
        EXPECT_FALSE(holder.PollRaise()) << "another user's request raised our game";
        Platform::Instance second;
        EXPECT_FALSE(second.Acquire(squatted));
        EXPECT_FALSE(Platform::Instance::NotifyHolder(squatted))
            << "another user's socket taken for our game";
    }
    close(ready[0]);
    close(done[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotChangeUser)
        GTEST_SKIP() << "could not become user " << kNobody << " in a child process";
    EXPECT_TRUE(squatting) << "the other user's process could not squat the name";
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
