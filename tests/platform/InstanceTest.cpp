#include "platform/Instance.h"

#include "support/CaughtStderr.h"
#include "support/ChildExit.h"
#include "support/Eventually.h"
#include "support/ScopedVariable.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <cstddef>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <iterator>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// In a forked child: becomes another user, whose runtime folder is
// "runtime", its temporary folder too: ours may be closed to it.
bool BecomeOtherUser(const std::string& runtime)
{
    return setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1) == 0 && setenv("TMPDIR", runtime.c_str(), 1) == 0 &&
           setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

// A folder of the other user's (its runtime folder, say), made while still
// root in a test folder the other user may pass through. It is handed back
// to root before the test folder goes: root may lack the right to enter
// other users' folders (as in CI's sandbox).
class OtherUsersRuntime
{
  public:
    explicit OtherUsersRuntime(const TemporaryFolder& folder, const std::string& name = "nobody")
        : path_(folder / name)
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

// A start gets a loaded machine's patience before it counts as hanging; one
// that waits on a holder giving no answer ends sooner, the bound on that
// wait being a second.
constexpr auto kPatience = static_cast<unsigned>(kLoadedMachinePatience.count());
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

// How a start run in a child process ended while a holder answered here:
// its exit code (-1 when it was still waiting after kPatience seconds), what
// it said on standard error, and how often the holder raised its window.
struct Asked
{
    int code = -1;
    std::string said;
    int raised = 0;
};

// With "slowRaise", raising the window lasts until the start has ended.
Asked AskWhileAnswering(Platform::Instance& holder, const std::function<int()>& start, bool slowRaise = false)
{
    Asked asked;
    TemporaryFolder folder;
    const std::string said = folder / "said";
    const pid_t child = fork();
    if (child == 0) {
        alarm(kPatience);
        if (!std::freopen(said.c_str(), "w", stderr))
            _exit(100);
        EndChild(start);
    }
    int status = 0;
    bool ended = child <= 0;
    while (!ended) {
        holder.PollRaise([&] {
            ++asked.raised;
            ended = slowRaise && waitpid(child, &status, 0) == child;
        });
        ended = ended || waitpid(child, &status, WNOHANG) != 0;
        usleep(1000);
    }
    asked.code = child > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    asked.said = folder.ReadText("said");
    FailOnChildFault(asked.code, asked.said);
    return asked;
}

int TakeOrHandOver(const std::string& name)
{
    Platform::Instance instance;
    return static_cast<int>(instance.TakeOrHandOver(name));
}

int Notify(const std::string& name)
{
    return Platform::Instance::NotifyHolder(name) ? 0 : 1;
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

// Each request is answered once the holder has raised its window, not
// before: a start whose wait a slow raise outlasts got no answer.
TEST(InstanceTest, RaiseRequestReachesTheHolderOnce)
{
    std::string name = UniqueName("Raise");
    Platform::Instance holder;
    ASSERT_TRUE(holder.Acquire(name));
    EXPECT_FALSE(holder.PollRaise([] {}));
    const Asked notified = AskWhileAnswering(holder, [&] { return Notify(name); });
    EXPECT_EQ(notified.code, 0);
    EXPECT_EQ(notified.raised, 1);
    const Asked second = AskWhileAnswering(holder, [&] { return TakeOrHandOver(name); });
    EXPECT_EQ(second.code, static_cast<int>(Start::HandedOver));
    EXPECT_EQ(second.raised, 1);
    EXPECT_EQ(second.said, "");
    const Asked slow = AskWhileAnswering(holder, [&] { return Notify(name); }, true);
    EXPECT_EQ(slow.code, 1) << "the start was answered before the window was raised";
    EXPECT_EQ(slow.raised, 1);
    EXPECT_FALSE(holder.PollRaise([] {}));
}

// In the holder's child: waits for a start's request on a socket of its
// own in place of the name's, then gives the name up and goes without
// answering, as a copy does that is just ending.
[[noreturn]] void EndWhenAsked(Platform::Instance& instance, const std::string& name, int ready)
{
    const std::string path = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + name;
    unlink(path.c_str());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    char byte = 0;
    if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener, 1) != 0 || write(ready, &byte, 1) != 1)
        _exit(1);
    const int connection = accept(listener, nullptr, nullptr);
    instance.Release();
    close(connection);
    _exit(0);
}

// However the holder goes (it lets the name go, it ends leaving its socket
// behind, its crash handler gives the name up while its crash window still
// shows, or it ends as a start asks it), the next start takes the name.
TEST(InstanceTest, TheNameIsFreeOnceItsHolderIsGone)
{
    enum class Gone {
        Released,
        EndedLeavingItsSocket,
        GaveItUpAtAFault,
        EndedAsItWasAsked,
    };
    for (const Gone gone :
         {Gone::Released, Gone::EndedLeavingItsSocket, Gone::GaveItUpAtAFault, Gone::EndedAsItWasAsked}) {
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
            if (gone == Gone::EndedAsItWasAsked)
                EndWhenAsked(instance, name, ready[1]);
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
        EXPECT_EQ(next.TakeOrHandOver(name), Start::Holder);
        const Asked notified = AskWhileAnswering(next, [&] { return Notify(name); });
        EXPECT_EQ(notified.code, 0);
        EXPECT_EQ(notified.raised, 1);
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
    const Asked notified = AskWhileAnswering(first, [&] { return Notify(name); });
    if (notified.code != 0 || notified.raised != 1)
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
    // Our temporary folder is one the other user passes through but cannot
    // write in: its copies make their folders in one of their own.
    const ScopedVariable closedToOthers("TMPDIR", folder.Path().c_str());
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
    EXPECT_FALSE(ours.PollRaise([] {}));
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
        EndChild([&] { return SquatAsOtherUser(runtime, oursPath, squatted, getuid(), ready[1], done[0]); });
    }
    close(ready[1]);
    close(done[0]);
    char reached = 0;
    const bool squatting = read(ready[0], &reached, 1) == 1;
    if (squatting) {
        EXPECT_FALSE(reached) << "another user reached our game's socket";
        EXPECT_FALSE(holder.PollRaise([] {}));
        const auto started = std::chrono::steady_clock::now();
        const int start = ExitWithinPatience([&] { return TakeOrHandOver(squatted); });
        EXPECT_NE(start, -1) << "our start still waited after " << kPatience << " s";
        EXPECT_EQ(start, static_cast<int>(Start::Holder)) << "our start did not take the name";
        EXPECT_LT(std::chrono::steady_clock::now() - started, kQuickStart);
    }
    close(ready[0]);
    close(done[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    FailOnChildFault(WIFEXITED(status) ? WEXITSTATUS(status) : -1, "");
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotChangeUser)
        GTEST_SKIP() << "could not become user " << kNobody << " in a child process";
    EXPECT_TRUE(squatting) << "the other user's process could not squat the name";
}

// In a child: holds the name and answers every request, until stopped.
pid_t AnsweringHolder(const std::string& name)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t holder = fork();
    if (holder == 0) {
        Platform::Instance instance;
        char byte = 0;
        if (!instance.Acquire(name) || write(ready[1], &byte, 1) != 1)
            _exit(1);
        for (;;) {
            instance.PollRaise([] {});
            usleep(1000);
        }
    }
    char byte;
    const bool held = holder > 0 && read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    close(ready[1]);
    return held ? holder : -1;
}

// Connections that fill the queue of the socket at "path"; they go when it
// goes.
class QueueFiller
{
  public:
    explicit QueueFiller(const std::string& path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        for (int tries = 0; tries < 64; ++tries) {
            const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            fds_.push_back(fd);
            if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
                break;
        }
    }
    ~QueueFiller()
    {
        for (int fd : fds_)
            close(fd);
    }
    QueueFiller(const QueueFiller&) = delete;
    QueueFiller& operator=(const QueueFiller&) = delete;

  private:
    std::vector<int> fds_;
};

// A holder of ours that gives no answer (stopped, or hung with its queue
// full) holds no start beyond the bound: it runs without the name, and
// says why.
TEST(InstanceTest, AHolderThatDoesNotAnswerIsPassedOver)
{
    for (const bool stopped : {true, false}) {
        SCOPED_TRACE(stopped ? "a stopped holder" : "a hung holder with a full queue");
        const std::string name = UniqueName("Hung");
        Platform::Instance hung;
        pid_t holder = -1;
        if (stopped) {
            holder = AnsweringHolder(name);
            ASSERT_GT(holder, 0);
            ASSERT_EQ(kill(holder, SIGSTOP), 0);
            // Stopped before the start asks, however slow the machine: it
            // cannot answer, not merely answer late.
            int status = 0;
            ASSERT_EQ(waitpid(holder, &status, WUNTRACED), holder);
            ASSERT_TRUE(WIFSTOPPED(status));
        } else {
            ASSERT_TRUE(hung.Acquire(name));
        }
        std::optional<QueueFiller> filler;
        if (!stopped)
            filler.emplace(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + name);
        const auto started = std::chrono::steady_clock::now();
        const ChildExit start = RunInChild([&] {
            alarm(kPatience);
            _exit(TakeOrHandOver(name));
        });
        const auto took = std::chrono::steady_clock::now() - started;
        if (holder > 0) {
            // Still there, stopped, all the while: else the start met no holder.
            siginfo_t ended{};
            EXPECT_FALSE(waitid(P_PID, static_cast<id_t>(holder), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                         ended.si_pid == holder)
                << "the stopped holder ended while the start ran, by signal " << ended.si_status;
            kill(holder, SIGKILL);
            waitpid(holder, nullptr, 0);
        }
        // The other case would wait as long.
        ASSERT_NE(start.code, -1) << "still waiting after " << kPatience << " s; said: " << start.errorText;
        EXPECT_EQ(start.code, static_cast<int>(Start::WithoutName)) << start.errorText;
        EXPECT_LT(took, kQuickStart);
        EXPECT_NE(start.errorText.find("seems not to answer"), std::string::npos) << start.errorText;
    }
}

// Where the runtime folder cannot be used (another user's, a link, a path
// too long for a socket's name) the name lives in the next private folder,
// the start says why, and a second start still hands over to the first. A
// folder of the game's own left open is closed again and used. Only where
// no private folder can be had does a copy run without the name, saying so.
TEST(InstanceTest, ARefusedRuntimeFolderStillGivesOneCopy)
{
    enum class Planted {
        AnotherUsers,
        Link,
        OpenToAll,
        TooLong,
        Nowhere,
    };
    // Short, so that the test's folders leave room for it in a socket's name.
    const std::string name = "r" + std::to_string(getpid());
    const std::string own = "tmp/qs-runtime-" + std::to_string(geteuid());
    for (const Planted planted : {Planted::AnotherUsers, Planted::Link, Planted::OpenToAll, Planted::TooLong, Planted::Nowhere}) {
        SCOPED_TRACE(static_cast<int>(planted));
        if (planted == Planted::AnotherUsers && geteuid() != 0)
            continue; // only root can make a folder of another user's
        TemporaryFolder folder;
        ASSERT_TRUE(std::filesystem::create_directory(folder / "tmp"));
        std::optional<OtherUsersRuntime> others;
        std::optional<std::string> runtime;
        std::string heldIn = folder / "d/qs-runtime";
        std::string why;
        switch (planted) {
        case Planted::AnotherUsers:
            others.emplace(folder, own);
            ASSERT_FALSE(others->Path().empty());
            why = " is another user's";
            break;
        case Planted::Link:
            std::filesystem::create_directory_symlink(folder.Path(), folder / own);
            why = " is a link";
            break;
        case Planted::OpenToAll:
            ASSERT_EQ(mkdir((folder / own).c_str(), 0700), 0);
            ASSERT_EQ(chmod((folder / own).c_str(), 0777), 0);
            heldIn = folder / own;
            break;
        case Planted::TooLong:
            runtime = folder / std::string(100, 'r');
            ASSERT_EQ(mkdir(runtime->c_str(), 0700), 0);
            heldIn = folder / own;
            why = " is too long a path for a socket's name";
            break;
        case Planted::Nowhere:
            std::filesystem::create_directory_symlink(folder.Path(), folder / own);
            folder.WriteText("d", "a file where the data home should be");
            break;
        }
        const ScopedVariable temporary("TMPDIR", folder / "tmp");
        const ScopedVariable data("XDG_DATA_HOME", folder / "d");
        const ScopedVariable runtimeFolder("XDG_RUNTIME_DIR", runtime);
        Platform::Instance first;
        CaughtStderr caught;
        const Start start = first.TakeOrHandOver(name);
        const std::string said = caught.Text();
        if (planted == Planted::Nowhere) {
            EXPECT_EQ(start, Start::WithoutName);
            EXPECT_NE(said.find("no private folder can hold it"), std::string::npos) << said;
            continue;
        }
        ASSERT_EQ(start, Start::Holder) << said;
        struct stat info;
        ASSERT_EQ(lstat((heldIn + "/" + name).c_str(), &info), 0) << said;
        EXPECT_TRUE(S_ISSOCK(info.st_mode));
        ASSERT_EQ(lstat(heldIn.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        if (why.empty())
            EXPECT_EQ(said, "");
        else
            EXPECT_NE(said.find(why + "; it is held in " + heldIn), std::string::npos) << said;
        const Asked second = AskWhileAnswering(first, [&] { return TakeOrHandOver(name); });
        EXPECT_EQ(second.code, static_cast<int>(Start::HandedOver)) << second.said;
        EXPECT_EQ(second.raised, 1);
    }
}

// A request from another user (root, who may enter any folder) is neither
// raised nor answered: the holder here becomes another user once it holds
// the name.
TEST(InstanceTest, ARequestFromAnotherUserIsNotAnswered)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can start a process of another user here";
    const std::string name = UniqueName("Peer");
    int ready[2];
    int done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe2(done, O_NONBLOCK), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        close(done[1]);
        Platform::Instance instance;
        char byte = 0;
        if (!instance.Acquire(name))
            _exit(2);
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(kCannotChangeUser);
        if (write(ready[1], &byte, 1) != 1)
            _exit(2);
        int raised = 0;
        while (read(done[0], &byte, 1) < 0) {
            instance.PollRaise([&raised] { ++raised; });
            usleep(1000);
        }
        _exit(raised == 0 ? 0 : 3);
    }
    close(ready[1]);
    close(done[0]);
    char byte;
    const bool held = read(ready[0], &byte, 1) == 1;
    const bool answered = held && Platform::Instance::NotifyHolder(name);
    close(ready[0]);
    close(done[1]);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotChangeUser)
        GTEST_SKIP() << "could not become user " << kNobody << " in a child process";
    ASSERT_TRUE(held);
    EXPECT_FALSE(answered) << "a holder answered a request of another user";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a holder raised its window for another user";
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
