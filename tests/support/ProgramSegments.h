#pragma once

#include <cstdint>

// The address where the main program's n-th (1-based) loadable segment starts
// in this process, from the loader's list of modules; 0 when it has fewer.
uintptr_t MainProgramSegmentStart(unsigned number);
