#include "app/CrashCatcher.h"

#include "app/App.h"
#include "app/Graphics.h"
#include "platform/Clock.h"
#include "platform/Crash.h"
#include "platform/Instance.h"
#include "platform/Shell.h"
#include "support/ChildExit.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"
#include "support/ProgramSegments.h"
#include "support/TemporaryFolder.h"
#include "support/modules/HeldLoader.h"
#include "support/modules/ThreadSanitizer.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern "C" void FaultUnderSmashedFrame();
extern "C" void StoreUnderSmashedFrame();
extern "C" void OverflowTheStack();

namespace {
namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

std::string ReporterPath()
{
    const char* folder = std::getenv("QS_PROGRAM_DIR");
    return std::string(folder != nullptr ? folder : ".") + "/CrashReporter";
}

// The child gets a home of its own and no display, not even the dummy one:
// the reporter's window cannot open, and the message box standing in for it
// takes its headless default, never waiting for a click.
void IsolateChild(const TemporaryFolder& home)
{
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("HOME", home.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
    // Where the runtime folder is refused, the game's own private folder.
    setenv("TMPDIR", (home / "tmp").c_str(), 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
}

std::string ReadWhole(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

struct Tag
{
    std::string name;
    std::string value;
};

// The report's elements in order; reading stops at the first malformed one.
std::vector<Tag> SplitTags(const std::string& text)
{
    std::vector<Tag> tags;
    size_t at = 0;
    while (at < text.size() && text[at] == '<') {
        size_t nameEnd = text.find('>', at);
        if (nameEnd == std::string::npos)
            break;
        std::string name = text.substr(at + 1, nameEnd - at - 1);
        size_t close = text.find("</" + name + ">", nameEnd);
        if (close == std::string::npos)
            break;
        tags.push_back({name, text.substr(nameEnd + 1, close - nameEnd - 1)});
        at = close + name.size() + 3;
    }
    EXPECT_EQ(at, text.size()) << "left over: " << text.substr(at);
    return tags;
}

// "%.04X:%.08X": four and eight upper-case hexadecimal digits.
bool IsSectionAndOffset(const std::string& value)
{
    if (value.size() != 13 || value[4] != ':')
        return false;
    for (size_t i = 0; i < value.size(); ++i) {
        auto c = static_cast<unsigned char>(value[i]);
        if (i != 4 && (!std::isxdigit(c) || std::islower(c)))
            return false;
    }
    return true;
}

// The address a report's "section:offset" stands for in the main program.
uintptr_t PlacedAddress(const std::string& value)
{
    unsigned section = 0;
    unsigned long offset = 0;
    if (std::sscanf(value.c_str(), "%4X:%8lX", &section, &offset) != 2 || section == 0)
        return 0;
    return MainProgramSegmentStart(section) + offset;
}

bool Inside(uintptr_t address, void (*function)())
{
    const auto start = reinterpret_cast<uintptr_t>(function);
    return address >= start && address < start + 256;
}

// Whether the child has ended; it is left to be waited for.
bool Ended(pid_t child)
{
    siginfo_t ended{};
    return waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           ended.si_pid == child;
}

// Whether the child is still running after the time given.
bool RunsFor(pid_t child, int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += 10) {
        if (Ended(child))
            return false;
        usleep(10000);
    }
    return true;
}

int WaitFor(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

// Whether the child ends of itself within a loaded machine's patience; it
// is killed after that, a child stuck in its report failing the test
// instead of holding it. Its status goes to "status" either way.
bool EndsOfItself(pid_t child, int& status)
{
    const bool ended = WaitUntil([child] { return Ended(child); });
    if (!ended)
        kill(child, SIGKILL);
    status = WaitFor(child);
    return ended;
}

__attribute__((noinline)) void StoreThroughBadPointer()
{
    // An address no program maps: a real fault, without the compiler seeing a
    // null pointer it may turn into something else.
    volatile uintptr_t address = 8;
    *reinterpret_cast<volatile int*>(address) = 1;
}

class QuorbApp : public App
{
  public:
    QuorbApp() { SetName("Quorb Swap"); }
    String GetExtendedInfo() override { return extended; }
    void Load() override
    {
        if (overflowWhileLoading)
            OverflowTheStack();
    }
    using App::StartLoader;
    String extended;
    bool overflowWhileLoading = false;
};

Platform::Crash::Fault OneFrameFault(unsigned section, uint64_t offset)
{
    Platform::Crash::Fault fault;
    fault.frameCount = 1;
    fault.frames[0].module = "/opt/game/QuorbSwap";
    fault.frames[0].section = section;
    fault.frames[0].offset = offset;
    return fault;
}
} // namespace

TEST(CrashCatcherTest, RealFaultInAChildWritesTheReport)
{
    TemporaryFolder home;
    std::string report = home / "report.txt";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        IsolateChild(home);
        QuorbApp app;
        theCrashCatcher.reportPath = report.c_str();
        theCrashCatcher.reporterPath = ReporterPath();
        // The mode the game runs in, whatever earlier tests left.
        theGraphics.mWidth = 640;
        theGraphics.mHeight = 480;
        theGraphics.mColorDepth = 16;
        StoreThroughBadPointer();
        _exit(0);
    }
    int status = WaitFor(child);
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the fault did not end the child";

    std::vector<Tag> tags = SplitTags(home.ReadText("report.txt"));
    std::vector<std::string> names;
    for (const Tag& tag : tags) {
        if (names.empty() || names.back() != tag.name)
            names.push_back(tag.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"MODULE", "STACKWALK", "PRODUCT", "VERSION", "RUNTIME",
                                               "FULLSCREEN", "SAFEMODE", "RESOLUTION", "OS", "DDRAW"}));
    ASSERT_GE(tags.size(), 12u);
    EXPECT_EQ(fs::path(tags[0].value), fs::read_symlink("/proc/self/exe"));
    int walked = 0;
    for (; tags[walked + 1].name == "STACKWALK"; ++walked)
        EXPECT_TRUE(IsSectionAndOffset(tags[walked + 1].value)) << tags[walked + 1].value;
    EXPECT_GE(walked, 3) << "the callers are missing from the stack walk";
    const Tag* info = &tags[walked + 1];
    EXPECT_EQ(info[0].value, "Quorb Swap");
    EXPECT_EQ(info[1].value, ".01alpha");
    EXPECT_EQ(info[2].value.rfind("00:00:0", 0), 0u) << info[2].value;
    EXPECT_EQ(info[5].value, "640 x 480 : 16");

    // The first address is the faulting store, inside the function that made it.
    EXPECT_TRUE(Inside(PlacedAddress(tags[1].value), StoreThroughBadPointer)) << tags[1].value;
}

namespace {
// A sanitizer puts an allocator of its own under every allocation, which
// catches a double free itself and ends the process.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SANITIZED_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define SANITIZED_ALLOCATOR 1
#endif
#endif
#ifdef SANITIZED_ALLOCATOR
constexpr bool kSanitizedAllocator = true;
#else
constexpr bool kSanitizedAllocator = false;
#endif

constexpr char kInstanceName[] = "qs-crash-test";

// A block too large for the thread's cache, freed into its arena, with a
// block after it so that it stays apart from the arena's free top. The
// allocator checks it under the arena's lock.
void* FreedLargeBlock()
{
    void* volatile block = std::malloc(8192);
    void* volatile after = std::malloc(16);
    (void)after;
    std::free(block);
    return block;
}

// The allocator finds the double free with its arena locked, and aborts there.
void FreeTwice(const TemporaryFolder&)
{
    void* volatile block = FreedLargeBlock();
    std::free(block);
}

// The freed block's size is overwritten: the next allocation meets it inside
// malloc, with the arena locked, and aborts there.
void AllocateOverBrokenBlock(const TemporaryFolder&)
{
    // A plain store to freed memory is one the compiler may leave out.
    auto* block = static_cast<volatile size_t*>(FreedLargeBlock());
    block[-1] = 0;
    void* volatile again = std::malloc(16384);
    (void)again;
}

void FaultOnThisThread(const TemporaryFolder&)
{
    StoreThroughBadPointer();
}

// Another thread loads a module whose loading never ends; once it holds the
// loader's lock, this one faults.
void FaultWhileTheLoaderIsHeld(const TemporaryFolder&)
{
    int held[2];
    if (HoldTheLoaderOnAnotherThread(held))
        StoreThroughBadPointer();
}

// A thread a case starts runs its own code before the fault comes. The
// sanitizer's start of a thread takes the allocator's lock: a thread stopped
// there would hold it for good, and a thread that starts after it would
// never get as far as its own code.
template <typename Body>
void StartRunning(Body body)
{
    std::atomic<bool> running{false};
    std::thread([&running, body = std::move(body)]() mutable {
        running = true;
        body();
    }).detach();
    while (!running)
        usleep(100);
}

// Two threads released together both fault.
void FaultOnTwoThreadsTogether(const TemporaryFolder&)
{
    static std::atomic<int> ready{0};
    for (int i = 0; i < 2; ++i) {
        std::thread([] {
            ++ready;
            while (ready.load() < 3) {
            }
            StoreThroughBadPointer();
        }).detach();
    }
    while (ready.load() < 2) {
    }
    ++ready;
    for (;;)
        pause();
}

// A thread blocking every signal but the faults' (the stop signal among
// them) from its start cannot be stopped; it faults while the reporter
// shows, marking the moment just before with its task's number. Once the
// others stand still it only makes system calls: one of them may have been
// stopped inside the allocator, holding its lock.
void FaultOnAnotherThreadWhileReporting(const TemporaryFolder& home)
{
    sigset_t blocked;
    sigfillset(&blocked);
    for (int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT})
        sigdelset(&blocked, signal);
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &blocked, &before);
    StartRunning([started = home / "started", part = home / "faulting.part", mark = home / "faulting"] {
        char task[16];
        const int length = snprintf(task, sizeof task, "%d", static_cast<int>(gettid()));
        while (access(started.c_str(), F_OK) != 0)
            usleep(1000);
        const int file = open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (file >= 0) {
            if (write(file, task, static_cast<size_t>(length)) == length)
                rename(part.c_str(), mark.c_str());
            close(file);
        }
        StoreThroughBadPointer();
    });
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    StoreThroughBadPointer();
}

// A thread that would go on while the reporter shows, and leave a mark.
void FaultWhileAnotherThreadRuns(const TemporaryFolder& home)
{
    StartRunning([&home, started = home / "started"] {
        while (access(started.c_str(), F_OK) != 0)
            usleep(1000);
        home.WriteText("ranOn", "");
    });
    StoreThroughBadPointer();
}

// A copy that holds no name to give up, with every descriptor in use.
void FaultWithEveryDescriptorInUse(const TemporaryFolder&)
{
    Platform::ReleaseInstanceNameOnFault();
    rlimit few{};
    getrlimit(RLIMIT_NOFILE, &few);
    few.rlim_cur = 128;
    setrlimit(RLIMIT_NOFILE, &few);
    while (fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0) >= 0) {
    }
    StoreThroughBadPointer();
}

void OverflowTheLoaderThread(const TemporaryFolder&)
{
    auto* app = static_cast<QuorbApp*>(theApp);
    app->overflowWhileLoading = true;
    app->StartLoader();
    for (;;)
        pause();
}

void FaultOnADamagedStack(const TemporaryFolder&)
{
    FaultUnderSmashedFrame();
}

// Where there is no data home the game keeps its data in the working folder.
void FaultWithTheWorkingFolderForData(const TemporaryFolder&)
{
    theApp->dataFolder = ".";
    StoreThroughBadPointer();
}

// The application goes with its data folder known, then the process ends.
[[noreturn]] void EndTheApplicationAndExit(const TemporaryFolder& home, void (*atExit)())
{
    fs::create_directory(home / "data");
    theApp->dataFolder = (home / "data").c_str();
    delete theApp;
    if (atExit != nullptr)
        std::atexit(atExit);
    std::exit(0);
}

void FaultInAnExitHandler(const TemporaryFolder& home)
{
    EndTheApplicationAndExit(home, [] { StoreThroughBadPointer(); });
}

// Set by a case whose fault comes after every exit handler and every
// destructor of a static has run.
bool faultAtTheVeryEnd = false;

__attribute__((destructor)) void FaultAtTheVeryEndWhenAsked()
{
    if (faultAtTheVeryEnd)
        StoreThroughBadPointer();
}

void FaultAfterTheStaticsWent(const TemporaryFolder& home)
{
    faultAtTheVeryEnd = true;
    EndTheApplicationAndExit(home, nullptr);
}

// A private folder whose path leaves no room for a report's temporary file
// within the system's longest path.
std::string MakeTooLongRuntimeFolder(const TemporaryFolder& home)
{
    std::string path = home / "long";
    while (path.size() < 4040)
        path += "/" + std::string(std::min<size_t>(200, 4040 - path.size() - 1), 'r');
    fs::create_directories(path);
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

void MakeReporterStandIn(const TemporaryFolder& home)
{
    // Keeps the report it is started on and where it was, says it is up, and
    // stays until told to go, however long the test takes on a loaded
    // machine: it goes with the program that started it or with the test.
    home.WriteText("reporter", "#!/bin/sh\ncd '" + home.Path() +
                                   "'\ncp \"$1\" shown\necho \"$1\" > shownPath\ntouch started\n"
                                   "while [ ! -e go ] && kill -0 $PPID " + std::to_string(getpid()) +
                                   " 2>/dev/null; do sleep 0.05; done\n");
    fs::permissions(home / "reporter", fs::perms::owner_all);
}

// Whether the child's task, once past the mark it leaves just before its
// fault, comes to stand still: asleep, where nothing but the handler's pause
// puts it. False once the child has ended.
bool Parks(pid_t child, const std::string& task)
{
    const std::string stat = "/proc/" + std::to_string(child) + "/task/" + task + "/stat";
    return WaitUntil(
        [&stat] {
            std::string line;
            std::getline(std::ifstream(stat), line);
            // The state follows the name, which may hold spaces and parentheses.
            const size_t name = line.rfind(')');
            return name != std::string::npos && name + 2 < line.size() && line[name + 2] == 'S';
        },
        [child] { return Ended(child); });
}

// What a start of the game does first: takes the name of the running copy.
bool StartWouldRun(const TemporaryFolder& home)
{
    pid_t child = fork();
    if (child == 0) {
        IsolateChild(home);
        Platform::Instance instance;
        _exit(instance.Acquire(kInstanceName) ? 0 : 1);
    }
    int status = 0;
    return EndsOfItself(child, status) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
} // namespace

// The failing thread may hold the allocator's lock, or another one stopped
// for good the loader's; the data folder may refuse the report.
// Whatever it is, the reporter starts at once with the report, and the
// program has given up its name: a start meanwhile runs as the game. The
// child has several threads, as the game has: there fork would wait for the
// allocator's locks.
TEST(CrashCatcherTest, EveryFaultReportsAtOnceWherever)
{
    TemporaryFolder home;
    MakeReporterStandIn(home);
    ASSERT_EQ(mkdir((home / "runtime").c_str(), 0700), 0);
    // Where the runtime folder is another user's, the report goes to the
    // game's own private folder, never there.
    const std::string ownPrivate = home / ("tmp/qs-runtime-" + std::to_string(geteuid()));
    const std::string tooLongRuntime = MakeTooLongRuntimeFolder(home);
    const std::string atReport = home / "report.txt";
    const std::string refused = home / "missing/report.txt";
    const std::string inRuntime = home / "runtime/CrashReport.txt";
    const std::string inData = home / "data/CrashReport.txt";
    enum class Runtime { Own, Others, TooLong };
    // The report's path the catcher is given (empty for the data folder),
    // and where the reporter is to find it.
    const struct
    {
        const char* what;
        void (*fault)(const TemporaryFolder& home);
        std::string report;
        std::string shownAt;
        bool allocatorCase = false;
        bool walkCut = false;
        Runtime runtime = Runtime::Own;
        bool lateFault = false;
    } cases[] = {
        {"a fault", FaultOnThisThread, atReport, atReport},
        {"a double free", FreeTwice, atReport, atReport, true},
        {"a fault inside malloc", AllocateOverBrokenBlock, atReport, atReport, true},
        {"a fault while the loader is held", FaultWhileTheLoaderIsHeld, atReport, atReport},
        {"a data folder that cannot take the report", FaultOnThisThread, refused, inRuntime},
        {"two threads faulting together", FaultOnTwoThreadsTogether, atReport, atReport},
        {"another thread's fault while the reporter shows", FaultOnAnotherThreadWhileReporting, atReport,
         atReport, false, false, Runtime::Own, true},
        {"another thread running while the reporter shows", FaultWhileAnotherThreadRuns, atReport, atReport},
        {"a fault under a damaged frame", FaultOnADamagedStack, atReport, atReport, false, true},
        {"a stack overflow on the loader thread", OverflowTheLoaderThread, atReport, atReport},
        {"every descriptor in use without the name", FaultWithEveryDescriptorInUse, atReport, atReport},
        {"a runtime folder of another user's", FaultOnThisThread, refused, ownPrivate + "/CrashReport.txt",
         false, false, Runtime::Others},
        {"a runtime folder too long for a report in it", FaultOnThisThread, refused,
         ownPrivate + "/CrashReport.txt", false, false, Runtime::TooLong},
        {"a fault at start-up, before the data folder is known", FaultOnThisThread, "", inRuntime},
        {"the working folder for the data folder", FaultWithTheWorkingFolderForData, "", inRuntime},
        {"a fault in an exit handler after the application went", FaultInAnExitHandler, "", inData},
        {"a fault after the destructors of statics", FaultAfterTheStaticsWent, "", inData},
    };
    for (const auto& c : cases) {
        // ThreadSanitizer takes every signal first and passes it on when it
        // sees fit: the unwinder's fault inside the handler does not come
        // back to it, and now and then the stop of a running thread or the
        // fault of an overflow comes too late for the case (about one run in
        // six). The plain and the other sanitized builds hold them. Only
        // root can make a folder of another user's.
        const bool signalsHeldBack = c.walkCut || c.fault == FaultWhileAnotherThreadRuns ||
                                     c.fault == OverflowTheLoaderThread;
        if ((c.allocatorCase && kSanitizedAllocator) || (signalsHeldBack && kThreadSanitizer) ||
            (c.runtime == Runtime::Others && geteuid() != 0))
            continue;
        for (const char* name :
             {"shown", "shownPath", "started", "go", "ranOn", "faulting", "faulting.part", "report.txt",
              "CrashReport.txt", "runtime/CrashReport.txt", "data/CrashReport.txt"})
            fs::remove(home / name);
        fs::remove(ownPrivate + "/CrashReport.txt");
        if (c.runtime == Runtime::Others) {
            ASSERT_EQ(chown((home / "runtime").c_str(), kNobody, kNobody), 0);
        }
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IsolateChild(home);
            // Where a report in the working folder would land.
            if (chdir(home.Path().c_str()) != 0)
                _exit(126);
            if (c.runtime == Runtime::TooLong)
                setenv("XDG_RUNTIME_DIR", tooLongRuntime.c_str(), 1);
            theCrashCatcher.reportPath = c.report.c_str();
            theCrashCatcher.reporterPath = home / "reporter";
            // On the heap: the exit cases end it before the process ends.
            new QuorbApp;
            Platform::Instance instance;
            instance.Acquire(kInstanceName);
            StartRunning([] {
                for (;;)
                    pause();
            });
            c.fault(home);
            _exit(0);
        }
        // The reporter starts from the crashed program, which ends once it
        // has gone: after that it cannot come.
        const bool started =
            WaitUntil([&home] { return fs::exists(home / "started"); }, [child] { return Ended(child); });
        EXPECT_TRUE(started) << c.what << ": no reporter, the program " << (Ended(child) ? "ended" : "hangs");
        if (started) {
            EXPECT_TRUE(StartWouldRun(home)) << c.what << ": the crashed program keeps its name";
            if (c.lateFault) {
                const bool faulting = WaitUntil([&home] { return fs::exists(home / "faulting"); },
                                                [child] { return Ended(child); });
                EXPECT_TRUE(faulting) << c.what << ": the second fault never came, the program "
                                      << (Ended(child) ? "ended" : "runs on");
                EXPECT_TRUE(faulting && Parks(child, home.ReadText("faulting")))
                    << c.what << ": the faulting thread was not stopped, the program "
                    << (Ended(child) ? "ended" : "runs on");
            }
            EXPECT_TRUE(RunsFor(child, 300)) << c.what << ": the program ended while the reporter showed";
            EXPECT_FALSE(fs::exists(home / "ranOn")) << c.what << ": another thread ran on";
        }
        home.WriteText("go", "");
        // A program hung in its report would hang the next cases the same
        // way, each for a loaded machine's patience: the table stops at it.
        const bool hungUnreported = !started && !Ended(child);
        if (hungUnreported)
            kill(child, SIGKILL);
        int status = 0;
        const bool hung = !EndsOfItself(child, status) || hungUnreported;
        EXPECT_TRUE(hungUnreported || !hung) << c.what << ": the program did not end once its reporter went";
        EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << c.what << ": the fault did not end the child";
        const std::string shown = home.ReadText("shown");
        EXPECT_EQ(shown.rfind("<MODULE>", 0), 0u) << c.what << ": no report reached the reporter";
        EXPECT_NE(shown.find("<PRODUCT>Quorb Swap</PRODUCT>"), std::string::npos) << c.what << ": " << shown;
        EXPECT_EQ(shown.find("<STACKEND>The stack could not be read further.</STACKEND><PRODUCT>") !=
                      std::string::npos,
                  c.walkCut)
            << c.what << ": " << shown;
        if (c.walkCut && shown.rfind("<MODULE>", 0) == 0) {
            // The frames found before the cut: the faulting store, and the
            // caller of the function that smashed its caller's frame.
            const std::vector<Tag> tags = SplitTags(shown);
            std::vector<uintptr_t> walked;
            for (const Tag& tag : tags) {
                if (tag.name == "STACKWALK")
                    walked.push_back(PlacedAddress(tag.value));
            }
            ASSERT_GE(walked.size(), 1u) << shown;
            EXPECT_TRUE(Inside(walked[0], StoreUnderSmashedFrame)) << shown;
            EXPECT_TRUE(
                std::any_of(walked.begin(), walked.end(),
                            [](uintptr_t address) { return Inside(address, FaultUnderSmashedFrame); }))
                << c.what << ": the frames before the cut are missing: " << shown;
        }
        EXPECT_EQ(home.ReadText("shownPath"), c.shownAt + "\n") << c.what;
        EXPECT_FALSE(fs::exists(home / "CrashReport.txt")) << c.what << ": a report in the working folder";
        // Taken back before it is looked into: root may lack the right.
        if (c.runtime == Runtime::Others) {
            ASSERT_EQ(chown((home / "runtime").c_str(), getuid(), getgid()), 0);
            EXPECT_FALSE(fs::exists(home / "runtime/CrashReport.txt")) << c.what;
        }
        if (hung) {
            ADD_FAILURE() << c.what << ": the crashed program hung; the table stops here";
            break;
        }
    }
}

// The reporter shows only a report that is the player's own plain file, not
// one reached through a link (another user's text swapped in at the name).
TEST(CrashCatcherTest, TheReporterShowsOnlyThePlayersOwnReport)
{
    TemporaryFolder home;
    home.WriteText("own.txt", "<MODULE>the player's own</MODULE>");
    home.WriteText("elsewhere.txt", "<MODULE>ATTACKER TEXT</MODULE>");
    fs::create_symlink(home / "elsewhere.txt", home / "link.txt");
    for (const auto& [name, shown] : {std::pair{"own.txt", true}, std::pair{"link.txt", false}}) {
        const std::string report = home / name;
        // No display: the report goes to standard error in place of a box.
        const ChildExit reporter = RunInChild([&] {
            setenv("SDL_VIDEODRIVER", "none", 1);
            if (!std::freopen("/dev/null", "r", stdin))
                _exit(126);
            execl(ReporterPath().c_str(), "CrashReporter", report.c_str(), "Quorb Swap", "Tarnquill", "0",
                  "http://127.0.0.1:1", "", static_cast<char*>(nullptr));
            _exit(127);
        });
        EXPECT_EQ(reporter.code, 0) << name;
        EXPECT_EQ(reporter.errorText.find("the player's own") != std::string::npos, shown) << reporter.errorText;
        EXPECT_EQ(reporter.errorText.find("ATTACKER"), std::string::npos) << reporter.errorText;
    }
}

// Should the walk never end, the report made before it is there, saying
// so; the reporter waits for the whole one.
TEST(CrashCatcherTest, TheReportBeforeTheWalkIsWrittenAndStartsNoReporter)
{
    TemporaryFolder home;
    MakeReporterStandIn(home);
    QuorbApp app;
    const String reportPath = theCrashCatcher.reportPath;
    const std::string reporterPath = theCrashCatcher.reporterPath;
    theCrashCatcher.reportPath = (home / "report.txt").c_str();
    theCrashCatcher.reporterPath = home / "reporter";
    Platform::Crash::Fault fault = OneFrameFault(1, 0x20);
    fault.walk = Platform::Crash::Walk::NotYet;
    theCrashCatcher.Filter(fault);
    theCrashCatcher.reportPath = reportPath;
    theCrashCatcher.reporterPath = reporterPath;
    EXPECT_NE(home.ReadText("report.txt")
                  .find("<STACKWALK>0001:00000020</STACKWALK><STACKEND>The stack was not read.</STACKEND>"
                        "<PRODUCT>"),
              std::string::npos)
        << home.ReadText("report.txt");
    EXPECT_FALSE(fs::exists(home / "started"));
}

TEST(CrashCatcherTest, CrashSwitchReportsDuringStartUpAndEndsCleanly)
{
    TemporaryFolder home;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        IsolateChild(home);
        const char* arguments[] = {"QuorbSwap", "-crash"};
        Platform::Shell::SetArguments(2, arguments);
        QuorbApp app;
        theCrashCatcher.reporterPath = ReporterPath();
        // A session that ran on hardware the test recommended against asks
        // for safe mode after a crash.
        theGraphics.mConfirmHardware = true;
        theGraphics.mSoftware = false;
        theGraphics.mSafeModeRecommended = true;
        app.Initialize();
        _exit(7);
    }
    int status = WaitFor(child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    fs::path folder = home / "data/Tarnquill/Quorb Swap";
    std::string config = ReadWhole(folder / "config.cfg");
    EXPECT_NE(config.find("DX::SafeMode=true\r\n"), std::string::npos) << config;
    std::string report = ReadWhole(folder / "CrashReport.txt");
    EXPECT_EQ(report.rfind("<MODULE>", 0), 0u) << report;
    EXPECT_NE(report.find("<PRODUCT>Quorb Swap</PRODUCT>"), std::string::npos);
}

// What a report cut short left in the spare folder, which no other write of
// the game's goes to, is cleared when the next start installs the handler.
TEST(CrashCatcherTest, InstallClearsAReportCutShortInTheSpareFolder)
{
    TemporaryFolder folder;
    const std::string left = ".CrashReport.txt.qs-unfinished-1-5f3a-a1B2c3";
    folder.WriteText(left, "cut");
    const ChildExit installed = RunInChild([&folder] {
        setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
        theCrashCatcher.Install();
        _exit(0);
    });
    EXPECT_EQ(installed.code, 0);
    EXPECT_FALSE(std::filesystem::exists(folder / left));
}

TEST(CrashCatcherTest, CrashTextPlacesEachAddressAndAddsTheSystemInformation)
{
    QuorbApp app;
    app.version = "1.2";
    app.creationTime = app.clock() - 3725 * 1000;
    // Put back at the end: the other cases expect the mode a process starts in.
    const bool fullscreen = theGraphics.mFullscreen;
    const bool software = theGraphics.mSoftware;
    const int width = theGraphics.mWidth;
    const int height = theGraphics.mHeight;
    const int depth = theGraphics.mColorDepth;
    theGraphics.mFullscreen = true;
    theGraphics.mSoftware = false;
    theGraphics.mWidth = 1024;
    theGraphics.mHeight = 768;
    theGraphics.mColorDepth = 32;
    Platform::Crash::Fault fault = OneFrameFault(2, 0x1A2B);
    fault.frameCount = 2;
    String text = CrashCatcher::BuildCrashText(fault);
    EXPECT_EQ(std::string(text.CStr())
                  .rfind("<MODULE>/opt/game/QuorbSwap</MODULE>"
                         "<STACKWALK>0002:00001A2B</STACKWALK>"
                         "<STACKWALK>0000:00000000</STACKWALK>"
                         "<PRODUCT>Quorb Swap</PRODUCT><VERSION>1.2</VERSION>"
                         "<RUNTIME>01:02:05</RUNTIME><FULLSCREEN>true</FULLSCREEN>"
                         "<SAFEMODE>false</SAFEMODE><RESOLUTION>1024 x 768 : 32</RESOLUTION><OS>",
                         0),
              0u)
        << text.CStr();
    EXPECT_EQ(std::string(text.CStr()).find("EXTENDED_INFO"), std::string::npos);

    app.extended = "level 7";
    EXPECT_NE(
        std::string(CrashCatcher::GetSystemInfo().CStr()).find("<EXTENDED_INFO>level 7</EXTENDED_INFO>"),
        std::string::npos);
    theGraphics.mFullscreen = fullscreen;
    theGraphics.mSoftware = software;
    theGraphics.mWidth = width;
    theGraphics.mHeight = height;
    theGraphics.mColorDepth = depth;
}

namespace {
// A crash catcher as the reporter program holds it, sending to a local server.
class Sending : public testing::Test
{
  protected:
    void UseServer(const LocalHttpServer& server)
    {
        catcher.reportServer = server.Url("").c_str();
        catcher.appName = "Quorb Swap";
        catcher.company = "Tarnquill";
        catcher.crashText = "<MODULE>m</MODULE>";
    }

    void Send()
    {
        catcher.retries = 0;
        catcher.SendReport();
        catcher.FinishSend();
    }

    static LocalHttpServer::Answer Result(const char* content)
    {
        return LocalHttpServer::Answer{
            {std::string("HTTP/1.0 200 OK\r\n\r\n<RESULT>") + content + "</RESULT>"}, true};
    }

    CrashCatcher catcher;
};

const char kSent[] =
    "Contacting Tarnquill ...\r\n\r\nError report sent successfully!\r\nThank you for your feedback!"
    "\r\n\r\nYou can click the close button to safely shut down this\r\nprogram now.";
const char kNotProcessed[] =
    "Contacting Tarnquill ...\r\n\r\nError: Could not contact Tarnquill reporting server!\r\n"
    "\r\nWe're sorry, we could not process your error report.  This\r\n";
} // namespace

TEST_F(Sending, ReportMessageNamesTheProductAndAddsTheDescriptionOnlyWhenGiven)
{
    catcher.appName = "Quorb Swap";
    catcher.crashText = "<MODULE>m</MODULE>";
    EXPECT_STREQ(catcher.BuildReportMessage().CStr(),
                 "quorb_swap <ERRORREPORT><MODULE>m</MODULE></ERRORREPORT>");
    catcher.userText = "it froze";
    EXPECT_STREQ(catcher.BuildReportMessage().CStr(),
                 "quorb_swap <ERRORREPORT><MODULE>m</MODULE><USER>it froze</USER></ERRORREPORT>");
}

TEST_F(Sending, AcceptedReportThanksTheUser)
{
    LocalHttpServer server([](const std::string&) { return Result("OK"); });
    UseServer(server);
    Send();
    EXPECT_STREQ(catcher.resultText.CStr(), kSent);
    EXPECT_TRUE(catcher.finished);
    EXPECT_FALSE(catcher.sendEnabled);
    ASSERT_EQ(server.Requests().size(), 1u);
    std::string request = server.Requests()[0];
    EXPECT_EQ(request.rfind("GET " + server.Url("/cgi-bin/errorreport.cgi?quorb_swap"), 0), 0u) << request;
    EXPECT_NE(request.find("\r\nUser-Agent:TarnquillBugTracker\r\n"), std::string::npos);
    EXPECT_EQ(request.find("<"), std::string::npos) << "the message is not URL-encoded";
}

TEST_F(Sending, ServerAskingToRetryGetsTheReportAgainAndSaysSo)
{
    // The second answer waits until the retry has been seen.
    int asked = 0;
    std::atomic<bool> answer{false};
    LocalHttpServer server([&](const std::string&) {
        if (++asked == 1)
            return Result("retry");
        while (!answer)
            Platform::Clock::Sleep(5);
        return Result("OK");
    });
    UseServer(server);
    catcher.retries = 0;
    catcher.SendReport();
    // Once the send has finished no retry comes.
    WaitUntil(
        [&] {
            if (server.Requests().size() >= 2)
                return true;
            catcher.PollSend();
            return false;
        },
        [&] { return catcher.finished; });
    EXPECT_STREQ(catcher.resultText.CStr(), "Contacting Tarnquill ...\r\n\r\nRetrying...");
    answer = true;
    catcher.FinishSend();
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_STREQ(catcher.resultText.CStr(), kSent);
}

TEST_F(Sending, RetriesAreCappedThenTheFailureShows)
{
    LocalHttpServer server([](const std::string&) { return Result("retry"); });
    UseServer(server);
    Send();
    EXPECT_EQ(server.Requests().size(), 4u);
    EXPECT_EQ(std::string(catcher.resultText.CStr()).rfind(kNotProcessed, 0), 0u)
        << catcher.resultText.CStr();
    EXPECT_TRUE(catcher.sendEnabled);
}

TEST_F(Sending, AnswerWithoutAResultOrWithAnotherOneCannotBeProcessed)
{
    for (const char* reply : {"HTTP/1.0 200 OK\r\n\r\nthanks", "<result>maybe</result>"}) {
        LocalHttpServer server([&](const std::string&) { return LocalHttpServer::Answer{{reply}, true}; });
        UseServer(server);
        Send();
        EXPECT_EQ(std::string(catcher.resultText.CStr()).rfind(kNotProcessed, 0), 0u) << reply;
        EXPECT_TRUE(catcher.sendEnabled);
    }
}

TEST_F(Sending, UnreachableServerShowsTheClientsMessage)
{
    catcher.company = "Tarnquill";
    catcher.reportServer = String::StringFormat("http://127.0.0.1:%d", LocalHttpServer::UnusedPort());
    Send();
    EXPECT_STREQ(
        catcher.resultText.CStr(),
        "Contacting Tarnquill ...\r\n\r\nCould not send error report:\r\nCould not connect to server\r\n\r\n"
        "We're sorry we couldn't connect to deliver this error\r\nreport, but we appreciate the effort!  "
        "You can click\r\nSend Report to try again, or simply click the close\r\nbutton to shut down the "
        "program.");
    EXPECT_TRUE(catcher.sendEnabled);
}

// The font lies beside the program: from anywhere else the window cannot be
// built, and without a display the message box takes its default, Close.
TEST_F(Sending, WithoutTheWindowsFontTheMessageBoxClosesWithoutSending)
{
    TemporaryFolder empty;
    fs::path previous = fs::current_path();
    fs::current_path(empty.Path());
    catcher.appName = "Quorb Swap";
    catcher.reportsEnabled = true;
    catcher.RunWindow("<MODULE>m<\\MODULE>\r\n");
    fs::current_path(previous);
    EXPECT_TRUE(catcher.done);
    EXPECT_FALSE(catcher.sentOnce);
}
