#include "platform/Crash.h"

#include "platform/CrashModules.h"

#include <dirent.h>
#include <execinfo.h>
#include <fcntl.h>
#include <pthread.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/auxv.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

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
// The thread making the report; 0 before the first fault.
std::atomic<pid_t> reporter{0};
// A descriptor held from Install and closed first at a fault: the report
// file's open succeeds even with every other one in use.
int reserve = -1;

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

pid_t ThreadId()
{
    return static_cast<pid_t>(syscall(SYS_gettid));
}

[[noreturn]] void Park()
{
    for (;;)
        pause();
}

void OnPark(int)
{
    Park();
}

// The earlier handling takes the signal at once; a fault repeats when the
// handler returns and goes to it too.
void EndNow(int signal)
{
    RestorePrevious();
    raise(signal);
}

// The signal the other threads are stopped with: one the program itself
// does not use, taken over only at the fault.
int ParkSignal()
{
    return SIGRTMAX;
}

// Every other task of the process is sent a signal whose handler parks it,
// so nothing the game runs goes on behind the report. The task list is read
// with plain system calls: opendir would take the heap.
void StopOtherThreads(pid_t self)
{
    struct sigaction park
    {
    };
    park.sa_handler = OnPark;
    sigemptyset(&park.sa_mask);
    sigaction(ParkSignal(), &park, nullptr);
    const int fd = open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    alignas(8) char entries[4096];
    for (ssize_t got; (got = getdents64(fd, entries, sizeof(entries))) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
            at += entry->d_reclen;
            pid_t task = 0;
            for (const char* digit = entry->d_name; *digit >= '0' && *digit <= '9'; ++digit)
                task = task * 10 + (*digit - '0');
            if (task != 0 && task != self)
                syscall(SYS_tgkill, getpid(), task, ParkSignal());
        }
    }
    close(fd);
}

// A fault while the stack is walked (a frame pointer overwritten sends the
// unwinder to memory nobody mapped) comes back here with the frames found.
sigjmp_buf walkCut;
volatile sig_atomic_t walking = 0;

// The return addresses found before a cut stay in place: the unwinder
// fills the list as it goes.
int WalkStack(void** stack, Walk& walk)
{
    for (int i = 0; i < kMaxFrames; ++i)
        stack[i] = nullptr;
    if (sigsetjmp(walkCut, 1) != 0) {
        walk = Walk::CutShort;
        int count = 0;
        while (count < kMaxFrames && stack[count] != nullptr)
            ++count;
        return count;
    }
    walking = 1;
    const int count = backtrace(stack, kMaxFrames);
    walking = 0;
    walk = Walk::Whole;
    return count;
}

// The first fault is reported. Meanwhile the other threads stand still and
// a fault of one of them parks it; a fault of the reporting thread itself
// ends the process.
void OnSignal(int signal, siginfo_t*, void* context)
{
    const pid_t self = ThreadId();
    pid_t owner = 0;
    if (!reporter.compare_exchange_strong(owner, self)) {
        if (owner != self)
            Park();
        if (walking) {
            walking = 0;
            siglongjmp(walkCut, 1);
        }
        EndNow(signal);
        return;
    }
    close(reserve);
    reserve = -1;
    StopOtherThreads(self);
    alarm(kReportSeconds);
    const uintptr_t faulting = FaultingInstruction(context);
    ForgetLateModules();
    caught.signal = signal;
    caught.walk = Walk::NotYet;
    PlaceFrames(faulting, nullptr, 0, true, caught);
    if (current != nullptr)
        current(caught);
    void* stack[kMaxFrames];
    const int count = WalkStack(stack, caught.walk);
    const int first = FirstCallerIndex(faulting, stack, count);
    PlaceFrames(faulting, stack + first, count - first, true, caught);
    if (current != nullptr)
        current(caught);
    alarm(0);
    EndNow(signal);
}

// The largest signal frame the kernel may put on an alternate stack of
// this machine: it grows with the processor's state (vector and tile
// registers), so it is asked for rather than fixed.
size_t SignalFrameSize()
{
#ifdef _SC_MINSIGSTKSZ
    const long asked = sysconf(_SC_MINSIGSTKSZ);
    if (asked > 0)
        return static_cast<size_t>(asked);
#endif
#ifdef AT_MINSIGSTKSZ
    const unsigned long told = getauxval(AT_MINSIGSTKSZ);
    if (told > 0)
        return told;
#endif
    return MINSIGSTKSZ;
}

// The frame the fault puts there and what the handler needs beyond it, in
// whole pages.
size_t AlternateStackSize()
{
    static const size_t size = [] {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        return (SignalFrameSize() + kHandlerStackNeed + page - 1) / page * page;
    }();
    return size;
}

// The stack a thread was given here, and the one it had before, which it
// gets back as it ends: its owner (a sanitizer, a runtime) frees it only
// when it is still in place. Kept in the thread's own storage, not on the
// heap.
struct ThreadStack
{
    void* mapped = nullptr;
    stack_t earlier{};
};
thread_local ThreadStack threadStack;

// The earlier stack goes back in place before this one is unmapped: a signal
// in between would otherwise be delivered onto memory nobody maps.
void ReleaseThreadStack(void* held)
{
    auto* stack = static_cast<ThreadStack*>(held);
    sigaltstack(&stack->earlier, nullptr);
    munmap(stack->mapped, AlternateStackSize());
}

pthread_key_t ThreadStackKey()
{
    static const pthread_key_t key = [] {
        pthread_key_t made;
        pthread_key_create(&made, ReleaseThreadStack);
        return made;
    }();
    return key;
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
    ThreadStackKey();
}
} // namespace

void Install(Handler handler)
{
    Prepare();
    current = handler;
    if (reserve < 0)
        reserve = open("/dev/null", O_RDONLY | O_CLOEXEC);
    PrepareThread();
    struct sigaction action
    {
    };
    action.sa_sigaction = OnSignal;
    // A fault of the reporting thread must reach the handler, whatever
    // signal it is handling: a fault in the walk ends only the walk.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &action, installed ? nullptr : &previous[i]);
    installed = true;
    reporter.store(0);
}

void Uninstall()
{
    RestorePrevious();
    current = nullptr;
    if (reserve >= 0)
        close(reserve);
    reserve = -1;
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
    fault.walk = Walk::Whole;
}

void PrepareThread()
{
    // A thread asking again finds its own stack in place, as large.
    stack_t earlier{};
    sigaltstack(nullptr, &earlier);
    if ((earlier.ss_flags & SS_DISABLE) == 0 && earlier.ss_size >= AlternateStackSize())
        return;
    const size_t size = AlternateStackSize();
    void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (mapped == MAP_FAILED)
        return;
    stack_t stack{};
    stack.ss_sp = mapped;
    stack.ss_size = size;
    sigaltstack(&stack, nullptr);
    threadStack = {mapped, earlier};
    pthread_setspecific(ThreadStackKey(), &threadStack);
}
} // namespace Platform::Crash
