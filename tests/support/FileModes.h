#pragma once

#include <functional>

// The files are met as their modes say, as a player meets them: a process
// that may pass over the modes (root's, say) gives that power up. It stays
// the files' owner, so no folder above the test's need be open to another
// user (a temporary folder under a closed home, say).

// In a child of the test's own: gives the power up. False when it cannot.
bool ObeyFileModes();

// Runs the statement as the modes say: in place when this process has no
// power to pass over them, else in a child of its own that gives it up (an
// assertion failed there fails the test). False when the power cannot be
// given up: the statement did not run.
bool RunObeyingFileModes(const std::function<void()>& statement);
