// A library the crash suite opens after the crash handler is installed, as
// a graphics driver's are opened late: a fault inside it lies in a module
// the handler did not note beforehand.
#include <cstdint>

extern "C" __attribute__((noinline)) void FaultInLateModule()
{
    volatile uintptr_t address = 8;
    *reinterpret_cast<volatile int*>(address) = 1;
}
