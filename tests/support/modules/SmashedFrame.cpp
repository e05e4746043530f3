// A fault under a frame whose saved frame pointer was overwritten, as a
// stack buffer overrun leaves it. Built with frame pointers, so the
// unwinder finds each caller's frame through them and, past the damage,
// reads memory nobody mapped.
#include <cstdint>

namespace {
__attribute__((noinline)) void StoreThroughBadPointer()
{
    volatile uintptr_t address = 8;
    *reinterpret_cast<volatile int*>(address) = 1;
    asm volatile(""); // keeps the store a call of its own
}

// Overwrites its caller's saved frame pointer with an address in the page
// no program maps, then faults.
__attribute__((noinline)) void SmashCallersFrameAndFault()
{
    *static_cast<volatile uintptr_t*>(__builtin_frame_address(0)) = 0x1000;
    StoreThroughBadPointer();
    asm volatile("");
}
} // namespace

extern "C" __attribute__((noinline)) void FaultUnderSmashedFrame()
{
    SmashCallersFrameAndFault();
    asm volatile("");
}
