#include "platform/Crash.h"

#include "platform/CrashModules.h"

#include <execinfo.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace Platform::Crash {
namespace {
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);
// A report stuck on a folder that does not answer must not keep a dead
// program on screen for ever.
constexpr unsigned kReportSeconds = 20;

// Everything the handler touches is static: the alternate stack is small and
// the heap may be what failed.
struct sigaction previous[kSignalCount];
bool installed = false;
Handler current = nullptr;
Fault caught;
alignas(16) char alternateStack[256 * 1024];
std::atomic_flag reporting = ATOMIC_FLAG_INIT;

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
    ForgetLateModules();
    PlaceFrames(faulting, stack + first, count - first, true, caught);
    caught.signal = signal;
    if (current != nullptr)
        current(caught);
    alarm(0);
    raise(signal);
}

// Where a report may go when its own folder cannot take it; the
// environment is read before the fault, as nothing says another thread is
// not changing it at the fault.
constexpr int kSpareCount = 3;
char spareFolders[kSpareCount][4096];

void KeepFolder(int index, const char* folder)
{
    spareFolders[index][0] = '\0';
    if (folder != nullptr && folder[0] == '/' && std::strlen(folder) < sizeof(spareFolders[index]))
        std::strcpy(spareFolders[index], folder);
}

void Prepare()
{
    static bool warmed = false;
    if (!warmed) {
        warmed = true;
        // The first trace loads the unwinder; that must not happen in a handler.
        void* warm[2];
        backtrace(warm, 2);
    }
    NoteModules();
    KeepFolder(0, std::getenv("XDG_RUNTIME_DIR"));
    KeepFolder(1, std::getenv("TMPDIR"));
    KeepFolder(2, "/tmp");
}
} // namespace

void Install(Handler handler)
{
    Prepare();
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
    Prepare();
    auto caller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
    void* stack[kMaxFrames + 4];
    int count = backtrace(stack, kMaxFrames + 4);
    int first = FirstCallerIndex(caller, stack, count);
    PlaceFrames(caller, stack + first, count - first, false, fault);
    fault.signal = 0;
}

const char* SpareFolder(int index)
{
    for (int i = 0, found = 0; i < kSpareCount; ++i) {
        if (spareFolders[i][0] != '\0' && found++ == index)
            return spareFolders[i];
    }
    return nullptr;
}
} // namespace Platform::Crash
