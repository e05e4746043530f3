#include "platform/Instance.h"

#include "support/ChildExit.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <grp.h>
#include <iterator>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
using Start = Platform::Instance::Start;

std::string UniqueName(const char* what)
{
    return std::string("QuorbSwapTest") + what + std::to_string(getpid()) + "Mutex";
}

constexpr uid_t kNobody = 65534;
constexpr int kCannotChangeUser = 1;
// The clone may lie below a folder closed to other users (a private
// temporary folder, say): the other user then cannot reach its own.
constexpr int kCannotReachFolder = 5;

// In a forked child: becomes another user, whose runtime folder is "runtime".
bool BecomeOtherUser(const std::string& runtime)
{
    return setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1) == 0 && setgroups(0, nullptr) == 0 &&
           setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

// A runtime folder for the other user, made while still root in a test
// folder the other user may pass through. It is handed back to root before
// the test folder goes: root may lack the right to enter other users'
// folders (as in CI's sandbox).
class OtherUsersRuntime
{
  public:
    explicit OtherUsersRuntime(const TemporaryFolder& folder) : path_(folder / "nobody")
    {
        if (chmod(folder.Path().c_str(), 0711) != 0 || mkdir(path_.c_str(), 0700) != 0 ||
            chown(path_.c_str(), kNobody, kNobody) != 0)
            path_.clear();
    }
    ~OtherUsersRuntime()
    {
        if (!path_.empty() && chown(path_.c_str(), getuid(), getgid()) != 0)
            ADD_FAILURE() << "the other user's folder could not be taken back";
    }
    OtherUsersRuntime(const OtherUsersRuntime&) = delete;
    OtherUsersRuntime& operator=(const OtherUsersRuntime&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// A start gets this long before it counts as hanging: the bound on waiting
// for a holder is a second.
constexpr unsigned kPatience = 10;
constexpr auto kQuickStart = std::chrono::seconds(3);

// Runs "start" in a child process; its exit code, or -1 when it was still
// waiting after kPatience seconds.
int ExitWithinPatience(const std::function<int()>& start)
{
    return RunInChild([&start] {
               alarm(kPatience);
               _exit(start());
           })
        .code;
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
    Platform::Instance second;
    EXPECT_EQ(second.TakeOrHandOver(name), Start::HandedOver);
    EXPECT_TRUE(holder.PollRaise());
}

// However the holder goes (it lets the name go, it ends leaving its socket
// behind, or its crash handler gives the name up while its crash window
// still shows), the next start takes the name.
TEST(InstanceTest, TheNameIsFreeOnceItsHolderIsGone)
{
    enum class Gone {
        Released,
        EndedLeavingItsSocket,
        GaveItUpAtAFault,
    };
    for (const Gone gone : {Gone::Released, Gone::EndedLeavingItsSocket, Gone::GaveItUpAtAFault}) {
        SCOPED_TRACE(static_cast<int>(gone));
        const std::string name = UniqueName("Gone");
        int ready[2];
        int done[2];
        ASSERT_EQ(pipe(ready), 0);
        ASSERT_EQ(pipe(done), 0);
        const pid_t holder = fork();
        ASSERT_GE(holder, 0);
        if (holder == 0) {
            close(done[1]);
            Platform::Instance instance;
            if (!instance.Acquire(name))
                _exit(1);
            if (gone == Gone::EndedLeavingItsSocket)
                _exit(0);
            if (gone == Gone::Released)
                instance.Release();
            else
                Platform::ReleaseInstanceNameOnFault();
            char byte = 0;
            if (write(ready[1], &byte, 1) != 1)
                _exit(1);
            while (read(done[0], &byte, 1) > 0) {
            }
            _exit(0);
        }
        close(ready[1]);
        close(done[0]);
        char byte;
        if (gone == Gone::EndedLeavingItsSocket)
            waitpid(holder, nullptr, 0);
        else
            EXPECT_EQ(read(ready[0], &byte, 1), 1);
        Platform::Instance next;
        EXPECT_TRUE(next.Acquire(name));
        EXPECT_TRUE(Platform::Instance::NotifyHolder(name));
        EXPECT_TRUE(next.PollRaise());
        close(ready[0]);
        close(done[1]);
        waitpid(holder, nullptr, 0);
    }
}

// What a process of another user found, by its exit status.
const char* const kOtherUserFindings[] = {
    "",
    "could not become another user",
    "could not take the name another user holds",
    "its own second copy took the name as well",
    "its own second copy did not reach its first",
};

// Runs in a forked child; needs nothing on disk but its runtime folder.
int RunCopiesAsOtherUser(const std::string& name, const std::string& runtime)
{
    if (!BecomeOtherUser(runtime))
        return kCannotChangeUser;
    if (access(runtime.c_str(), R_OK | W_OK | X_OK) != 0)
        return kCannotReachFolder;
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

// Another user's copy is not this program already running: it takes the
// name beside ours, and its own second copy hands over to it, not to ours.
TEST(InstanceTest, EachUserHoldsTheNameApart)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can start a process of another user here";
    TemporaryFolder folder;
    const OtherUsersRuntime other(folder);
    const std::string& runtime = other.Path();
    ASSERT_FALSE(runtime.empty());
    std::string name = UniqueName("Users");
    Platform::Instance ours;
    ASSERT_TRUE(ours.Acquire(name));
    const int found = RunInChild([&] { _exit(RunCopiesAsOtherUser(name, runtime)); }).code;
    if (found == kCannotChangeUser)
        GTEST_SKIP() << "could not become user " << kNobody << " in a child process";
    if (found == kCannotReachFolder)
        GTEST_SKIP() << "user " << kNobody << " cannot reach " << runtime << ": a folder above it is closed";
    ASSERT_GE(found, 0);
    ASSERT_LT(found, static_cast<int>(std::size(kOtherUserFindings)));
    EXPECT_EQ(found, 0) << "another user's copy " << kOtherUserFindings[found];
    EXPECT_FALSE(ours.PollRaise());
}

// As another user: tries to reach our holder's socket ("reached" says
// whether it could), then binds the abstract name that earlier versions of
// the game used for the user "owner", listens with no room, fills that with
// a connection of its own, says so on "ready" and keeps it all until "done"
// closes.
int SquatAsOtherUser(const std::string& runtime, const std::string& ours, const std::string& squatted,
                     uid_t owner, int ready, int done)
{
    if (!BecomeOtherUser(runtime))
        return kCannotChangeUser;
    sockaddr_un path{};
    path.sun_family = AF_UNIX;
    std::strncpy(path.sun_path, ours.c_str(), sizeof(path.sun_path) - 1);
    const int probe = socket(AF_UNIX, SOCK_STREAM, 0);
    const char reached = connect(probe, reinterpret_cast<const sockaddr*>(&path), sizeof(path)) == 0;
    sockaddr_un abstract{};
    abstract.sun_family = AF_UNIX;
    const std::string owned = squatted + "." + std::to_string(owner);
    std::memcpy(abstract.sun_path + 1, owned.data(), owned.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + owned.size());
    const auto* where = reinterpret_cast<const sockaddr*>(&abstract);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    const int filler = socket(AF_UNIX, SOCK_STREAM, 0);
    if (bind(listener, where, length) != 0 || listen(listener, 0) != 0 || connect(filler, where, length) != 0)
        return 2;
    if (write(ready, &reached, 1) != 1)
        return 2;
    char byte;
    while (read(done, &byte, 1) > 0) {
    }
    return 0;
}

// Another user can neither reach our game nor, by squatting the abstract
// name earlier versions used with a full queue that never empties, hold our
// start: it comes up within seconds as the holder.
TEST(InstanceTest, AnotherUserNeitherReachesNorHoldsOurStart)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can start a process of another user here";
    TemporaryFolder folder;
    const OtherUsersRuntime other(folder);
    const std::string& runtime = other.Path();
    ASSERT_FALSE(runtime.empty());
    const std::string ours = UniqueName("Ours");
    const std::string squatted = UniqueName("Squatted");
    Platform::Instance holder;
    ASSERT_TRUE(holder.Acquire(ours));
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    const std::string oursPath = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + ours;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(done[1]);
        _exit(SquatAsOtherUser(runtime, oursPath, squatted, getuid(), ready[1], done[0]));
    }
    close(ready[1]);
    close(done[0]);
    char reached = 0;
    const bool squatting = read(ready[0], &reached, 1) == 1;
    if (squatting) {
        EXPECT_FALSE(reached) << "another user reached our game's socket";
        EXPECT_FALSE(holder.PollRaise());
        const auto started = std::chrono::steady_clock::now();
        const int start = ExitWithinPatience([&] {
            Platform::Instance instance;
            return static_cast<int>(instance.TakeOrHandOver(squatted));
        });
        EXPECT_NE(start, -1) << "our start still waited after " << kPatience << " s";
        EXPECT_EQ(start, static_cast<int>(Start::Holder)) << "our start did not take the name";
        EXPECT_LT(std::chrono::steady_clock::now() - started, kQuickStart);
    }
    close(ready[0]);
    close(done[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotChangeUser)
        GTEST_SKIP() << "could not become user " << kNobody << " in a child process";
    EXPECT_TRUE(squatting) << "the other user's process could not squat the name";
}

// A holder of ours that never takes a request (hung) fills its queue; no
// later start waits on it beyond the bound: it goes on without the name.
TEST(InstanceTest, AHolderThatNeverAnswersHoldsNoStart)
{
    const std::string name = UniqueName("Hung");
    const char* const findings[] = {"", "could not take the name", "a start was handed over to a hung holder",
                                    "a start took longer than the bound"};
    const int found = ExitWithinPatience([&] {
        Platform::Instance hung;
        if (!hung.Acquire(name))
            return 1;
        for (int request = 0; request < 64 && Platform::Instance::NotifyHolder(name); ++request) {
        }
        const auto started = std::chrono::steady_clock::now();
        Platform::Instance later;
        if (later.TakeOrHandOver(name) != Start::WithoutName)
            return 2;
        return std::chrono::steady_clock::now() - started < kQuickStart ? 0 : 3;
    });
    ASSERT_NE(found, -1) << "a start still waited on the hung holder after " << kPatience << " s";
    ASSERT_GE(found, 0);
    ASSERT_LT(found, static_cast<int>(std::size(findings)));
    EXPECT_EQ(found, 0) << findings[found];
}

TEST(InstanceTest, NobodyToNotifyWithoutAHolder)
{
    EXPECT_FALSE(Platform::Instance::NotifyHolder(UniqueName("Nobody")));
}

TEST(InstanceTest, NamesNoSocketCanBearAreRefused)
{
    Platform::Instance instance;
    EXPECT_FALSE(instance.Acquire(std::string(200, 'x')));
    EXPECT_FALSE(instance.Acquire(""));
    EXPECT_FALSE(instance.Acquire("folder/name"));
}
} // namespace
