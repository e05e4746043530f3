#include "AlternateStack.h"

#include <pthread.h>
#include <sys/mman.h>

#include <thread>

const char* AlternateStackOfThisThread()
{
    stack_t stack{};
    const bool set =
        sigaltstack(nullptr, &stack) == 0 && (stack.ss_flags & SS_DISABLE) == 0 && stack.ss_size > 0;
    return set ? "set" : "none";
}

namespace {
struct ThreadEnd
{
    stack_t started{};
    stack_t atEnd{};
    int round = 0;
};

void NoteThreadEnd(void* value);

pthread_key_t ThreadEndKey()
{
    static const pthread_key_t key = [] {
        pthread_key_t made;
        pthread_key_create(&made, NoteThreadEnd);
        return made;
    }();
    return key;
}

// The hooks of a thread's end run in the order their keys were made, round
// after round while one of them sets its value again: one round late, every
// other hook has had its turn, whichever key was made first.
void NoteThreadEnd(void* value)
{
    auto* end = static_cast<ThreadEnd*>(value);
    if (end->round++ == 0) {
        pthread_setspecific(ThreadEndKey(), end);
        return;
    }
    sigaltstack(nullptr, &end->atEnd);
    sigaltstack(&end->started, nullptr);
}
} // namespace

AlternateStacksSeen RunWithAlternateStack(size_t size, void (*body)())
{
    AlternateStacksSeen seen;
    void* mapped = nullptr;
    if (size > 0) {
        mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
        if (mapped == MAP_FAILED)
            return seen;
        seen.given.ss_sp = mapped;
        seen.given.ss_size = size;
    } else {
        seen.given.ss_flags = SS_DISABLE;
    }
    ThreadEnd end;
    std::thread([&] {
        sigaltstack(&seen.given, &end.started);
        pthread_setspecific(ThreadEndKey(), &end);
        body();
        sigaltstack(nullptr, &seen.afterBody);
    }).join();
    seen.atEnd = end.atEnd;
    if (mapped != nullptr)
        munmap(mapped, size);
    return seen;
}

bool SameAlternateStack(const stack_t& one, const stack_t& other)
{
    if ((one.ss_flags & SS_DISABLE) != 0 || (other.ss_flags & SS_DISABLE) != 0)
        return (one.ss_flags & SS_DISABLE) == (other.ss_flags & SS_DISABLE);
    return one.ss_sp == other.ss_sp && one.ss_size == other.ss_size;
}
