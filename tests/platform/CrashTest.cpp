#include "platform/Crash.h"

#include "support/ProgramSegments.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

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

// A box of glyphs up to 10 x 20 pixels, 30 pixels of padding and 112 of
// title, padding and buttons fits a 1024 x 768 screen with 99 columns and 32
// lines; the report is cut to them, its words kept whole where they fit.
TEST(CrashTest, BoxTextIsWrappedAndCutToFitTheScreen)
{
    std::string paragraph = "crash";
    for (int i = 1; i < 40; ++i)
        paragraph += " crash";
    std::string module = "<MODULE>/" + std::string(150, 'p') + "</MODULE>";
    std::string text = paragraph + "\r\n\r\n" + module + "\r\n";
    for (int i = 0; i < 60; ++i)
        text += "<STACKWALK>0001:000000" + std::to_string(10 + i) + "</STACKWALK>\r\n";

    std::string shown = Platform::Crash::FitToScreen(text, 1024, 768);
    std::vector<std::string> lines;
    std::istringstream in(shown);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 20u) << shown;
    EXPECT_LE(lines.size(), 32u) << shown;
    EXPECT_EQ(lines.back(), "...");
    std::string unwrapped;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 99u) << lines[i];
        EXPECT_EQ(lines[i].find('\r'), std::string::npos);
        unwrapped += lines[i] + (lines[i].rfind("crash", 0) == 0 ? " " : "");
    }
    EXPECT_EQ(unwrapped.rfind(paragraph + " " + module + "<STACKWALK>0001:0000001", 0), 0u) << unwrapped;

    EXPECT_EQ(Platform::Crash::FitToScreen("Error Report:\r\n\r\n<MODULE>m</MODULE>\r\n", 1024, 768),
              "Error Report:\n\n<MODULE>m</MODULE>");
}

TEST(CrashTest, WithoutADisplayTheDefaultButtonAnswers)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(Platform::Crash::Choose("Title", "Text", {"Send Report", "Close"}, 1), 1);
    EXPECT_EQ(Platform::Crash::Choose("Title", "Text", {"Close"}, 0), 0);
}
