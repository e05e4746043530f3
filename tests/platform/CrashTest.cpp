#include "platform/Crash.h"

#include "support/ProgramSegments.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace {
int reportPipe = -1;

__attribute__((noinline)) void CaptureInto(Platform::Crash::Fault& fault)
{
    Platform::Crash::CaptureHere(fault);
    asm volatile(""); // keeps the call from becoming a jump
}

void WriteSignal(const Platform::Crash::Fault& fault)
{
    char code = static_cast<char>(fault.signal);
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
    EXPECT_EQ(seen, std::string(1, static_cast<char>(SIGABRT)));
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(CrashTest, AFaultWhileReportingGoesToTheEarlierHandling)
{
    int status = 0;
    std::string seen = RunFailingChild(
        FaultAgain, [] { raise(SIGFPE); }, status);
    EXPECT_EQ(seen, std::string(1, static_cast<char>(SIGFPE)));
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(CrashTest, RunProgramWaitsAndReportsSuccess)
{
    EXPECT_TRUE(Platform::Crash::RunProgram({"/bin/sh", "-c", "exit 0"}));
    EXPECT_FALSE(Platform::Crash::RunProgram({"/bin/sh", "-c", "exit 3"}));
    EXPECT_FALSE(Platform::Crash::RunProgram({"/no/such/program"}));
    EXPECT_FALSE(Platform::Crash::RunProgram({}));
}

TEST(CrashTest, WithoutADisplayTheDefaultButtonAnswers)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(Platform::Crash::Choose("Title", "Text", {"Send Report", "Close"}, 1), 1);
    EXPECT_EQ(Platform::Crash::Choose("Title", "Text", {"Close"}, 0), 0);
}
