#pragma once

#include <cstdint>

// Milliseconds and sleeping, in place of the system's multimedia timer.
namespace Platform::Clock
{
// Monotonic milliseconds, wrapping at 2^32. Never near zero at start, since
// the shared random generator seeds from it before main runs.
uint32_t Milliseconds();

void Sleep(uint32_t milliseconds);
} // namespace Platform::Clock
