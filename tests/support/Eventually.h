#pragma once

#include <chrono>
#include <functional>

// How long a test waits for what another process or thread is to do (a
// reporter to start, a file to appear, a child to end). A loaded machine
// can hold a forked process back for tens of seconds; the wait costs
// nothing when the event comes early, and a test where it never comes
// ends at the first sign that it cannot (see WaitUntil's "hopeless").
constexpr std::chrono::seconds kLoadedMachinePatience{90};

// Polls "happened" until it holds, "hopeless" says it never will (the
// process that was to bring it has ended, say), or the patience runs out;
// whether it held at the last look. "happened" is the state the test then
// checks, looked at once more after the last sign.
bool WaitUntil(const std::function<bool()>& happened, const std::function<bool()>& hopeless = {},
               std::chrono::milliseconds patience = kLoadedMachinePatience);
