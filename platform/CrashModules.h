#pragma once

#include "platform/Crash.h"

#include <cstdint>

// Inside platform/: the table of loaded modules the crash handler places
// code addresses in. It is noted before the fault, as looking modules up at
// the fault would take the loader's lock; a module opened since is found at
// the fault in the kernel's list of mappings and its ELF headers.
namespace Platform::Crash {
// Notes the modules loaded now; the first call also notes the program's path.
void NoteModules();

// The path of the file mapped at the address in a list of mappings in the
// kernel's format (/proc/<pid>/maps), read from the descriptor to its end
// or to that mapping; empty for memory no file backs or no mapping. In
// storage of its own. Async-signal-safe.
const char* MappedFileIn(int mapsFd, uintptr_t address);

// Forgets the modules found at an earlier fault. Async-signal-safe.
void ForgetLateModules();

// The frames of the first address and then of each of the stack's, as many
// as fit. At the fault, an address in no module noted beforehand is looked
// up in the kernel's list of mappings. Async-signal-safe when atFault.
void PlaceFrames(uintptr_t first, void* const* stack, int count, bool atFault, Fault& fault);
} // namespace Platform::Crash
