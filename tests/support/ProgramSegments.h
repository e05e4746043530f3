#pragma once

#include <cstdint>

// The address where the main program's n-th (1-based) loadable segment starts
// in this process, from the loader's list of modules; 0 when it has fewer.
uintptr_t MainProgramSegmentStart(unsigned number);

// The loadable segment that holds an address, in whichever module it is:
// its 1-based number and start; 0 and 0 when none does.
struct HoldingSegment
{
    unsigned number = 0;
    uintptr_t start = 0;
};
HoldingSegment SegmentHolding(uintptr_t address);
