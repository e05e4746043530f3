#include "platform/Clock.h"

#include <ctime>

namespace Platform::Clock
{
uint32_t Milliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // The monotonic clock can start at zero after boot; an offset keeps the
    // value away from zero the way an uptime-based timer would be.
    uint64_t ms = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
    return uint32_t(ms + 0x10000u);
}

void Sleep(uint32_t milliseconds)
{
    timespec wait{time_t(milliseconds / 1000u), long(milliseconds % 1000u) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
}
} // namespace Platform::Clock
