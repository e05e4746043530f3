#include "AlternateStack.h"

#include <signal.h>

const char* AlternateStackOfThisThread()
{
    stack_t stack{};
    const bool set =
        sigaltstack(nullptr, &stack) == 0 && (stack.ss_flags & SS_DISABLE) == 0 && stack.ss_size > 0;
    return set ? "set" : "none";
}
