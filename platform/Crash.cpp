#include "platform/Crash.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>

namespace Platform::Crash {
namespace {
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);
// Building the report takes locks the fault may have left held; a report
// stuck on one must not keep a dead program on screen for ever.
constexpr unsigned kReportSeconds = 20;

// Everything the handler touches is static: the alternate stack is small and
// the heap may be what failed.
struct sigaction previous[kSignalCount];
bool installed = false;
Handler current = nullptr;
char programPath[4096];
Fault caught;
alignas(16) char alternateStack[256 * 1024];
std::atomic_flag reporting = ATOMIC_FLAG_INIT;

// Segments are read from the module's own program headers in memory; the
// first loadable segment maps the ELF header, as the linker lays them out.
void PlaceInSegment(uintptr_t address, const link_map& map, const void* base, Frame& frame)
{
    auto* header = static_cast<const ElfW(Ehdr)*>(base);
    if (std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0)
        return;
    auto* segments = reinterpret_cast<const ElfW(Phdr)*>(static_cast<const char*>(base) + header->e_phoff);
    unsigned number = 0;
    for (int i = 0; i < header->e_phnum; ++i) {
        if (segments[i].p_type != PT_LOAD)
            continue;
        ++number;
        uintptr_t start = map.l_addr + segments[i].p_vaddr;
        uintptr_t size = std::max(segments[i].p_memsz, segments[i].p_filesz);
        if (address >= start && address <= start + size) {
            frame.section = number;
            frame.offset = address - start;
            return;
        }
    }
}

// The main program's link map has no name of its own.
void Place(uintptr_t address, Frame& frame)
{
    frame = Frame{};
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(address), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) ==
            0 ||
        map == nullptr || info.dli_fbase == nullptr)
        return;
    frame.module = (map->l_name == nullptr || map->l_name[0] == '\0') ? programPath : map->l_name;
    PlaceInSegment(address, *map, info.dli_fbase, frame);
}

void Collect(uintptr_t first, void* const* stack, int count, Fault& fault)
{
    fault.frameCount = 0;
    Place(first, fault.frames[fault.frameCount++]);
    for (int i = 0; i < count && fault.frameCount < kMaxFrames; ++i)
        Place(reinterpret_cast<uintptr_t>(stack[i]), fault.frames[fault.frameCount++]);
}

uintptr_t FaultingInstruction(void* context)
{
#if defined(__x86_64__)
    return static_cast<uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.pc);
#else
    (void)context;
    return 0;
#endif
}

// The unwinder steps through the signal frame, so the faulting instruction
// appears in the trace after the handler's own frames; what follows it are
// the return addresses.
int FirstCallerIndex(uintptr_t faulting, void* const* stack, int count)
{
    for (int i = 0; i < count; ++i) {
        if (reinterpret_cast<uintptr_t>(stack[i]) == faulting)
            return i + 1;
    }
    return std::min(2, count);
}

void AppendWrapped(std::string line, size_t columns, std::vector<std::string>& lines)
{
    while (line.size() > columns) {
        size_t space = line.rfind(' ', columns);
        size_t cut = (space == std::string::npos || space == 0) ? columns : space;
        lines.push_back(line.substr(0, cut));
        line.erase(0, cut == space ? cut + 1 : cut);
    }
    lines.push_back(line);
}

void RestorePrevious()
{
    if (!installed)
        return;
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
    installed = false;
}

void OnSignal(int signal, siginfo_t*, void* context)
{
    // A second thread failing meanwhile waits for the first one's report to
    // end the process.
    if (reporting.test_and_set()) {
        for (;;)
            pause();
    }
    RestorePrevious();
    alarm(kReportSeconds);
    void* stack[kMaxFrames];
    int count = backtrace(stack, kMaxFrames);
    uintptr_t faulting = FaultingInstruction(context);
    int first = FirstCallerIndex(faulting, stack, count);
    Collect(faulting, stack + first, count - first, caught);
    caught.signal = signal;
    if (current != nullptr)
        current(caught);
    alarm(0);
    raise(signal);
}

void PrepareOnce()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    ssize_t length = readlink("/proc/self/exe", programPath, sizeof(programPath) - 1);
    programPath[length > 0 ? length : 0] = '\0';
    // The first trace loads the unwinder; that must not happen in a handler.
    void* warm[2];
    backtrace(warm, 2);
}
} // namespace

void Install(Handler handler)
{
    PrepareOnce();
    current = handler;
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof(alternateStack);
    sigaltstack(&stack, nullptr);
    struct sigaction action
    {
    };
    action.sa_sigaction = OnSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &action, installed ? nullptr : &previous[i]);
    installed = true;
    reporting.clear();
}

void Uninstall()
{
    RestorePrevious();
    current = nullptr;
}

// Sanitizers wrap backtrace in frames of their own, so the trace is read from
// the caller's return address on rather than from a fixed depth.
__attribute__((noinline)) void CaptureHere(Fault& fault)
{
    PrepareOnce();
    auto caller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
    void* stack[kMaxFrames + 4];
    int count = backtrace(stack, kMaxFrames + 4);
    int first = FirstCallerIndex(caller, stack, count);
    Collect(caller, stack + first, count - first, fault);
    fault.signal = 0;
}

// Started without fork: fork takes every lock of the allocator first, and a
// thread stopped for good inside it (the fault may have come from there)
// would keep the reporter from ever starting. The child gets no blocked
// signals. A pending alarm is cancelled: the user may take their time over
// the report.
bool RunProgram(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return false;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    alarm(0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t child = -1;
    const bool started = posix_spawn(&child, argv[0], nullptr, &attributes, argv.data(), environ) == 0;
    posix_spawnattr_destroy(&attributes);
    if (!started)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string FitToScreen(const std::string& text, int screenWidth, int screenHeight)
{
    size_t columns = static_cast<size_t>(std::max(1, (screenWidth - kBoxSideRoom) / kBoxGlyphWidth));
    size_t rows = static_cast<size_t>(std::max(2, (screenHeight - kBoxTopAndBottomRoom) / kBoxLineHeight));
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        AppendWrapped(line, columns, lines);
    }
    if (lines.size() > rows) {
        lines.resize(rows - 1);
        lines.push_back("...");
    }
    std::string fitted;
    for (const std::string& line : lines)
        fitted += (fitted.empty() ? "" : "\n") + line;
    return fitted;
}

int Choose(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
           int defaultButton)
{
    // The first screen is where the box opens.
    std::string shown = text;
    bool video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    SDL_Rect screen;
    if (video && SDL_GetDisplayUsableBounds(0, &screen) == 0)
        shown = FitToScreen(text, screen.w, screen.h);
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = static_cast<int>(i) == defaultButton ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
        data.push_back({flags, static_cast<int>(i), buttons[i].c_str()});
    }
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_ERROR | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.title = title.c_str();
    box.message = shown.c_str();
    box.numbuttons = static_cast<int>(data.size());
    box.buttons = data.data();
    int pressed = -1;
    bool failed = SDL_ShowMessageBox(&box, &pressed) != 0;
    if (video)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (failed) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return defaultButton;
    }
    return pressed < 0 ? defaultButton : pressed;
}

bool HasTerminal()
{
    return isatty(STDIN_FILENO) != 0;
}

std::string ReadTerminalLine(const std::string& prompt, size_t maxLength)
{
    if (!HasTerminal())
        return std::string();
    std::fprintf(stderr, "%s", prompt.c_str());
    std::string line;
    std::getline(std::cin, line);
    return line.substr(0, maxLength);
}
} // namespace Platform::Crash
