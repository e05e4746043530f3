#pragma once

#include <signal.h>

#include <cstddef>

// Async-signal-safe. Whether the calling thread has an alternate signal
// stack a handler can run on: "set", or "none".
const char* AlternateStackOfThisThread();

// A test thread's alternate stacks: the one it was given before the body
// ran, as a sanitizer or another runtime would give it; the one in place
// when the body returned; and the one in place as the thread ended, after
// its other end-of-thread hooks.
struct AlternateStacksSeen
{
    stack_t given{};
    stack_t afterBody{};
    stack_t atEnd{};
};

// Runs the body on a thread of its own given an alternate stack of the size
// (none, the alternate stack disabled, for 0), mapped here and unmapped once
// the thread has ended. The stack the thread started with (a sanitizer's)
// goes back in place as it ends, for its owner to free.
AlternateStacksSeen RunWithAlternateStack(size_t size, void (*body)());

// Whether the two name the same stack, or are both disabled.
bool SameAlternateStack(const stack_t& one, const stack_t& other);
