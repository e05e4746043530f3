// Faults of the stack itself, for the crash suites. The first lies under a
// frame whose saved frame pointer was overwritten, as a stack buffer
// overrun leaves it; built with frame pointers, the unwinder finds each
// caller's frame through them and, past the damage, reads memory nobody
// mapped.
#include <cstdint>

extern "C" __attribute__((noinline)) void StoreUnderSmashedFrame()
{
    volatile uintptr_t address = 8;
    *reinterpret_cast<volatile int*>(address) = 1;
    asm volatile(""); // keeps the store a call of its own
}

namespace {
// Overwrites its caller's saved frame pointer with an address in the page
// no program maps, then faults.
__attribute__((noinline)) void SmashCallersFrameAndFault()
{
    *static_cast<volatile uintptr_t*>(__builtin_frame_address(0)) = 0x1000;
    StoreUnderSmashedFrame();
    asm volatile("");
}
// A limit the recursion never meets, out of the compiler's sight.
volatile int overflowLimit = -1;

__attribute__((noinline)) int RecurseWithoutEnd(int depth)
{
    volatile char room[4096];
    room[0] = static_cast<char>(depth);
    return depth == overflowLimit ? 0 : RecurseWithoutEnd(depth + 1) + room[0];
}
} // namespace

extern "C" void OverflowTheStack()
{
    RecurseWithoutEnd(0);
}

extern "C" __attribute__((noinline)) void FaultUnderSmashedFrame()
{
    SmashCallersFrameAndFault();
    asm volatile("");
}
