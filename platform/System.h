#pragma once

#include <string>

// Questions about the running system, in place of the system's version and
// user-name calls, and the scheduling of the program's own threads.
namespace Platform::System {
// One line naming the kernel: name, release, version and machine, as uname
// reports them; empty when uname fails.
std::string Description();

// The logged-on user's login name; empty when it cannot be found.
std::string UserName();

// The version of the library that stands in for the display driver, as
// "major.minor.patch".
std::string DisplayLibraryVersion();

// Lets the calling thread give way to the program's other threads for the
// rest of its life: its nice value is raised by `steps` (at most to the
// lowest priority), which needs no privileges, where raising another
// thread above normal would. A refusal leaves the priority as it was.
void LowerThreadPriority(int steps);
} // namespace Platform::System
