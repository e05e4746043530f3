#pragma once

#include <string>

// Questions about the running system, in place of the system's version and
// user-name calls.
namespace Platform::System {
// One line naming the kernel: name, release, version and machine, as uname
// reports them; empty when uname fails.
std::string Description();

// The logged-on user's login name; empty when it cannot be found.
std::string UserName();

// The version of the library that stands in for the display driver, as
// "major.minor.patch".
std::string DisplayLibraryVersion();
} // namespace Platform::System
