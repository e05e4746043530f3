#include "platform/Crash.h"

#include "platform/CrashModules.h"
#include "platform/Files.h"

#include "support/AlternateStack.h"
#include "support/CaughtStderr.h"
#include "support/ChildExit.h"
#include "support/ProgramSegments.h"
#include "support/TemporaryFolder.h"
#include "support/modules/HeldLoader.h"
#include "support/modules/ThreadSanitizer.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {
int reportPipe = -1;

__attribute__((noinline)) void CaptureInto(Platform::Crash::Fault& fault)
{
    Platform::Crash::CaptureHere(fault);
    asm volatile(""); // keeps the call from becoming a jump
}

// The report before the walk is a '-' when it holds the faulting
// instruction alone; the report after it, the signal.
void WriteSignal(const Platform::Crash::Fault& fault)
{
    const bool early = fault.walk == Platform::Crash::Walk::NotYet && fault.frameCount == 1;
    char code = early ? '-' : static_cast<char>(fault.signal);
    (void)!write(reportPipe, &code, 1);
}

void FaultAgain(const Platform::Crash::Fault& fault)
{
    WriteSignal(fault);
    volatile uintptr_t address = 8;
    *reinterpret_cast<volatile int*>(address) = 1;
}

// Runs the body in a child with the handler installed; the signals the
// handler saw, and how the child ended.
std::string RunFailingChild(Platform::Crash::Handler handler, void (*body)(), int& status)
{
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        reportPipe = ends[1];
        Platform::Crash::Install(handler);
        body();
        _exit(0);
    }
    close(ends[1]);
    std::string seen;
    char code;
    while (read(ends[0], &code, 1) == 1)
        seen += code;
    close(ends[0]);
    waitpid(child, &status, 0);
    return seen;
}
} // namespace

TEST(CrashTest, CaptureStartsAtTheCallerInTheMainProgram)
{
    Platform::Crash::Fault fault;
    CaptureInto(fault);
    ASSERT_GE(fault.frameCount, 2);
    EXPECT_EQ(fault.signal, 0);
    EXPECT_EQ(std::filesystem::path(fault.frames[0].module), std::filesystem::read_symlink("/proc/self/exe"));
    ASSERT_GT(fault.frames[0].section, 0u);
    uintptr_t address = MainProgramSegmentStart(fault.frames[0].section) + fault.frames[0].offset;
    uintptr_t function = reinterpret_cast<uintptr_t>(&CaptureInto);
    EXPECT_GT(address, function);
    EXPECT_LT(address, function + 256);
}

TEST(CrashTest, AbortIsReportedOnceAndStillEndsTheProcess)
{
    int status = 0;
    std::string seen = RunFailingChild(
        WriteSignal, [] { std::abort(); }, status);
    EXPECT_EQ(seen, "-" + std::string(1, static_cast<char>(SIGABRT)));
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(CrashTest, AFaultWhileReportingGoesToTheEarlierHandling)
{
    int status = 0;
    std::string seen = RunFailingChild(
        FaultAgain, [] { raise(SIGFPE); }, status);
    EXPECT_EQ(seen, "-");
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

extern "C" void OverflowTheStack();

// The stacks threads take go back as they end, and a thread asking twice
// keeps the one it has: after many threads, two more at once each have one,
// and the overflow of one of them is reported.
namespace {
// The process's mapped size in KiB, as the kernel counts it.
long MappedKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0)
            return std::stol(line.substr(7));
    }
    return -1;
}
} // namespace

// However many threads hold a stack at once the next one still has a stack
// for its overflow; a thread that asks again keeps the one it has, and one
// that ends gives its stack up.
TEST(CrashTest, EveryThreadHasAStackForAnOverflowHoweverManyHoldOne)
{
    std::thread([] {
        Platform::Crash::PrepareThread();
        const long before = MappedKilobytes();
        for (int i = 0; i < 1000; ++i)
            Platform::Crash::PrepareThread();
        EXPECT_LT(MappedKilobytes() - before, 1024) << "each call mapped a stack of its own";
    }).join();
    // The system and a sanitizer keep some of what ended threads had for the
    // next ones: measured once that has settled, beside as many threads
    // without PrepareThread, the threads with it leave less than a page each.
    const auto growthOver200Threads = [](void (*body)()) {
        const long before = MappedKilobytes();
        for (int i = 0; i < 200; ++i)
            std::thread(body).join();
        return MappedKilobytes() - before;
    };
    const auto nothing = [] {};
    growthOver200Threads(Platform::Crash::PrepareThread);
    growthOver200Threads(nothing);
    const long without = growthOver200Threads(nothing);
    const long with = growthOver200Threads(Platform::Crash::PrepareThread);
    EXPECT_LT(with - without, 200 * sysconf(_SC_PAGESIZE) / 1024)
        << "ended threads kept alternate stacks: KiB over 200 threads with PrepareThread, " << with
        << ", without, " << without;
    if (kThreadSanitizer)
        GTEST_SKIP() << "ThreadSanitizer does not deliver this overflow after many threads have ended";
    int status = 0;
    std::string seen = RunFailingChild(
        WriteSignal,
        [] {
            static std::atomic<int> holding{0};
            for (int i = 0; i < 24; ++i) {
                std::thread([] {
                    Platform::Crash::PrepareThread();
                    ++holding;
                    for (;;)
                        pause();
                }).detach();
            }
            while (holding < 24)
                usleep(1000);
            std::thread([] {
                Platform::Crash::PrepareThread();
                OverflowTheStack();
            }).join();
        },
        status);
    EXPECT_EQ(seen, "-" + std::string(1, static_cast<char>(SIGSEGV)));
}

namespace {
// Stands in for the system's call in this suite, passing each call on to
// the kernel: counts the stacks put in place of one whose memory is already
// gone, onto which a signal in between would have been delivered. A
// sanitizer's runtime calls it too, before it has started itself: it is
// left out of the sanitizer's instrumentation and calls only the kernel.
int replacedUnmapped = 0;
} // namespace

#ifdef __clang__
__attribute__((disable_sanitizer_instrumentation))
#endif
extern "C" int
sigaltstack(const stack_t* stack, stack_t* old)
{
    stack_t current{};
    if (stack != nullptr && syscall(SYS_sigaltstack, nullptr, &current) == 0 &&
        (current.ss_flags & SS_DISABLE) == 0 &&
        syscall(SYS_msync, current.ss_sp, current.ss_size, MS_ASYNC) != 0 && errno == ENOMEM)
        __atomic_fetch_add(&replacedUnmapped, 1, __ATOMIC_RELAXED);
    return static_cast<int>(syscall(SYS_sigaltstack, stack, old));
}

namespace {
// This suite's processor keeps more state than any yet: the signal frame
// the system says it has is taken as this much larger, more than any
// alternate stack of a fixed size would leave beside the handler's need.
constexpr long kLargerSignalFrame = 192 * 1024;
} // namespace

extern "C" long __real_sysconf(int name);

// A sanitizer linked into the program calls it too, before it has started
// itself: it is left out of the sanitizer's instrumentation.
#ifdef __clang__
__attribute__((disable_sanitizer_instrumentation))
#endif
extern "C" long
__wrap_sysconf(int name)
{
    const long value = __real_sysconf(name);
    return name == _SC_MINSIGSTKSZ && value > 0 ? value + kLargerSignalFrame : value;
}

// A stack a thread already has is kept when it holds the machine's signal
// frame and what the handler needs; a smaller one, or none, gives way to one
// that does, and is back in place as the thread ends, before that one goes.
TEST(CrashTest, AThreadKeepsTheAlternateStackItHadOrGetsItBackAsItEnds)
{
    const auto frame = static_cast<size_t>(sysconf(_SC_MINSIGSTKSZ));
    ASSERT_GT(frame, static_cast<size_t>(kLargerSignalFrame));
    const size_t needed = frame + Platform::Crash::kHandlerStackNeed;
    const struct
    {
        size_t earlier;
        bool kept;
    } cases[] = {
        {0, false}, {frame + Platform::Crash::kHandlerStackNeed / 2, false}, {needed + 64 * 1024, true}};
    const int unmappedBefore = __atomic_load_n(&replacedUnmapped, __ATOMIC_RELAXED);
    for (const auto& c : cases) {
        const AlternateStacksSeen seen = RunWithAlternateStack(c.earlier, Platform::Crash::PrepareThread);
        EXPECT_EQ(SameAlternateStack(seen.afterBody, seen.given), c.kept) << c.earlier << " bytes before";
        EXPECT_EQ(seen.afterBody.ss_flags & SS_DISABLE, 0) << c.earlier;
        EXPECT_GE(seen.afterBody.ss_size, needed)
            << c.earlier << ": the handler's need beside a frame of " << frame;
        EXPECT_TRUE(SameAlternateStack(seen.atEnd, seen.given))
            << c.earlier << " bytes before, back at the end: " << seen.atEnd.ss_sp << " "
            << seen.atEnd.ss_size << " flags " << seen.atEnd.ss_flags;
    }
    EXPECT_EQ(__atomic_load_n(&replacedUnmapped, __ATOMIC_RELAXED), unmappedBefore)
        << "an alternate stack was unmapped while in place";
}

namespace {
// A library opened after the handler was installed: the function in it that
// faults, and the segment that holds that function.
uintptr_t lateFunction = 0;
HoldingSegment lateSegment;

std::string LateModulePath()
{
    const char* folder = std::getenv("QS_TEST_MODULES");
    return std::string(folder != nullptr ? folder : ".") + "/LateFault.so";
}

void (*OpenLateModule())()
{
    void* module = dlopen(LateModulePath().c_str(), RTLD_NOW);
    auto fault =
        reinterpret_cast<void (*)()>(module != nullptr ? dlsym(module, "FaultInLateModule") : nullptr);
    lateFunction = reinterpret_cast<uintptr_t>(fault);
    lateSegment = SegmentHolding(lateFunction);
    return fault;
}

void OpenLateModuleAndFault()
{
    OpenLateModule()();
}

int StopInIteration(dl_phdr_info*, size_t, void* fd)
{
    const char held = 1;
    (void)!write(*static_cast<int*>(fd), &held, 1);
    for (;;)
        pause();
}

// Another thread loads a module whose loading never ends, then a third
// stops inside the loader's list of modules; once both hold the loader's
// locks, the late module faults. A lookup that takes either lock waits for good.
void OpenLateModuleHoldTheLoaderAndFault()
{
    auto fault = OpenLateModule();
    static int held[2];
    if (!HoldTheLoaderOnAnotherThread(held))
        return;
    std::thread([] { dl_iterate_phdr(StopInIteration, &held[1]); }).detach();
    char byte;
    if (read(held[0], &byte, 1) == 1)
        fault();
}

// The module the faulting instruction was placed in, and whether its
// segment and offset lead back into the function that faulted.
void WriteLatePlace(const Platform::Crash::Fault& fault)
{
    const Platform::Crash::Frame& frame = fault.frames[0];
    const uintptr_t address = lateSegment.start + frame.offset;
    const bool inside =
        frame.section == lateSegment.number && address >= lateFunction && address < lateFunction + 256;
    const char* texts[] = {frame.module, inside ? " inside" : " outside", nullptr};
    for (const char* const* text = texts; *text != nullptr; ++text)
        (void)!write(reportPipe, *text, std::strlen(*text));
    // The earlier handling a sanitizer puts in place reads the loader's list,
    // which the held case keeps locked.
    if (fault.walk != Platform::Crash::Walk::NotYet)
        _exit(1);
}
} // namespace

TEST(CrashTest, AFaultInAModuleOpenedLaterIsPlacedInIt)
{
    for (void (*body)() : {OpenLateModuleAndFault, OpenLateModuleHoldTheLoaderAndFault}) {
        int status = 0;
        std::string seen = RunFailingChild(WriteLatePlace, body, status);
        const std::string place = std::filesystem::canonical(LateModulePath()).string() + " inside";
        EXPECT_EQ(seen, place + place) << "placed before the walk and after it; loader held: "
                                       << (body == OpenLateModuleHoldTheLoaderAndFault);
    }
}

// The kernel's list of mappings comes in reads that may end inside a line,
// here one packet at a time.
TEST(CrashTest, TheMappingsReaderFindsTheFileMappedAtAnAddressInReadsCutAnywhere)
{
    const std::string maps = "00400000-00452000 r-xp 00000000 08:02 173521 /usr/bin/first\n"
                             "7f0000000000-7f0000021000 rw-p 00000000 00:00 0 \n"
                             "7f1000000000-7f1000200000 r-xp 00001000 08:02 4242 /usr/lib/second.so\n";
    const struct
    {
        size_t packet;
        uintptr_t address;
        const char* path;
    } cases[] = {
        {maps.size(), 0x7f1000000100, "/usr/lib/second.so"},
        {7, 0x7f1000000100, "/usr/lib/second.so"},
        {50, 0x7f1000000100, "/usr/lib/second.so"},
        {7, 0x00451fff, "/usr/bin/first"},
        {7, 0x7f0000000010, ""},
        {7, 0x00300000, ""},
    };
    for (const auto& c : cases) {
        int ends[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends), 0);
        for (size_t at = 0; at < maps.size(); at += c.packet)
            ASSERT_GT(write(ends[1], maps.data() + at, std::min(c.packet, maps.size() - at)), 0);
        shutdown(ends[1], SHUT_WR);
        EXPECT_STREQ(Platform::Crash::MappedFileIn(ends[0], c.address), c.path)
            << c.packet << " " << c.address;
        close(ends[0]);
        close(ends[1]);
    }
}

// The report's file is written new and renamed into place: what a link
// standing at its path names is never written.
TEST(CrashTest, TheReportWritePutsAFileInTheLinksPlace)
{
    TemporaryFolder folder;
    folder.WriteText("elsewhere", "kept");
    const std::string path = folder / "report.txt";
    ASSERT_EQ(symlink((folder / "elsewhere").c_str(), path.c_str()), 0);
    EXPECT_TRUE(Platform::Files::WriteWholeAtFault(path.c_str(), "new", 3));
    EXPECT_EQ(folder.ReadText("elsewhere"), "kept");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(folder.ReadText("report.txt"), "new");
}

namespace {
sigjmp_buf survived;

// The handling before Install of a program that goes on after its faults.
void GoOnAfterTheFault(int)
{
    siglongjmp(survived, 1);
}

int OpenDescriptors()
{
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                          std::filesystem::directory_iterator()));
}
} // namespace

// A process that went on after a reported fault reports the next one once
// the handler is installed again; an Install holds one descriptor in
// reserve, and an Uninstall keeps none of the handler's.
TEST(CrashTest, EachInstallStartsAfresh)
{
    int status = 0;
    const std::string seen = RunFailingChild(
        WriteSignal,
        [] {
            Platform::Crash::Uninstall();
            const int before = OpenDescriptors();
            Platform::Crash::Install(WriteSignal);
            if (OpenDescriptors() != before + 1)
                (void)!write(reportPipe, "no descriptor in reserve", 24);
            Platform::Crash::Uninstall();
            if (OpenDescriptors() != before)
                (void)!write(reportPipe, "kept a descriptor", 17);
            struct sigaction goOn
            {
            };
            goOn.sa_handler = GoOnAfterTheFault;
            sigemptyset(&goOn.sa_mask);
            sigaction(SIGFPE, &goOn, nullptr);
            for (int round = 0; round < 2; ++round) {
                Platform::Crash::Install(WriteSignal);
                if (sigsetjmp(survived, 1) == 0)
                    raise(SIGFPE);
                Platform::Crash::Uninstall();
            }
        },
        status);
    const std::string reported = "-" + std::string(1, static_cast<char>(SIGFPE));
    EXPECT_EQ(seen, reported + reported);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(CrashTest, RunProgramWaitsAndReportsSuccess)
{
    const struct
    {
        std::vector<const char*> arguments;
        bool succeeds;
    } cases[] = {{{"/bin/sh", "-c", "exit 0", nullptr}, true},
                 {{"/bin/sh", "-c", "exit 3", nullptr}, false},
                 {{"/no/such/program", nullptr}, false},
                 {{nullptr}, false}};
    for (const auto& c : cases)
        EXPECT_EQ(Platform::Crash::RunProgram(c.arguments.data()), c.succeeds) << &c - cases;
}

namespace {
// A report of a long paragraph, a module path longer than a line and more
// stack lines than a screen holds.
std::string LongReport()
{
    std::string paragraph = "crash";
    for (int i = 1; i < 40; ++i)
        paragraph += " crash";
    std::string text = paragraph + "\r\n\r\n<MODULE>/" + std::string(150, 'p') + "</MODULE>\r\n";
    for (int i = 0; i < 60; ++i)
        text += "<STACKWALK>0001:000000" + std::to_string(10 + i) + "</STACKWALK>\r\n";
    return text;
}

// The text of the last message box asked for.
std::string boxText;
} // namespace

// Stands in for SDL's message box in this suite: keeps the text it is given
// and, as without a display, shows nothing.
extern "C" int SDL_ShowMessageBox(const SDL_MessageBoxData* box, int* /*pressed*/)
{
    boxText = box->message;
    return -1;
}

// The report is cut to the lines and columns the box's glyph cell and room
// leave on the screen, its words kept whole where they fit.
TEST(CrashTest, BoxTextIsWrappedAndCutToFitTheScreen)
{
    using namespace Platform::Crash;
    const size_t columns = (1024 - kBoxSideRoom) / kBoxGlyphWidth;
    const size_t rows = (768 - kBoxTopAndBottomRoom) / kBoxLineHeight;
    const std::string text = LongReport();
    std::string shown = FitToScreen(text, 1024, 768);
    std::vector<std::string> lines;
    std::istringstream in(shown);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    EXPECT_EQ(lines.size(), rows) << shown;
    EXPECT_EQ(lines.back(), "...");
    std::string unwrapped;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), columns) << lines[i];
        EXPECT_EQ(lines[i].find('\r'), std::string::npos);
        unwrapped += lines[i] + (lines[i].rfind("crash", 0) == 0 ? " " : "");
    }
    const std::string paragraph = text.substr(0, text.find("\r\n"));
    const size_t moduleAt = paragraph.size() + 4;
    const std::string module = text.substr(moduleAt, text.find("\r\n", moduleAt) - moduleAt);
    EXPECT_EQ(unwrapped.rfind(paragraph + " " + module + "<STACKWALK>0001:0000001", 0), 0u) << unwrapped;

    EXPECT_EQ(FitToScreen("Error Report:\r\n\r\n<MODULE>m</MODULE>\r\n", 1024, 768),
              "Error Report:\n\n<MODULE>m</MODULE>");
}

// The crash window's stand-in box shows the report as fitted to the screen
// it opens on; when it cannot open, all of the report goes to the error
// stream and the default button answers.
TEST(CrashTest, TheBoxShowsTheReportFittedToItsScreenAndTheErrorStreamAllOfIt)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Rect screen;
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &screen), 0) << SDL_GetError();
    const std::string text = LongReport();
    CaughtStderr caught;
    EXPECT_EQ(Platform::Crash::Choose("Crash", text, {"Send Report", "Close"}, 1), 1);
    EXPECT_EQ(boxText, Platform::Crash::FitToScreen(text, screen.w, screen.h));
    EXPECT_EQ(caught.Text(), "Crash: " + text + "\n");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(CrashTest, WithoutADisplayTheDefaultButtonAnswers)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(Platform::Crash::Choose("Title", "Text", {"Send Report", "Close"}, 1), 1);
    EXPECT_EQ(Platform::Crash::Choose("Title", "Text", {"Close"}, 0), 0);
}
