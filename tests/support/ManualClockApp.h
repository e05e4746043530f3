#pragma once

#include "app/App.h"

#include <cstdint>
#include <vector>

// An application without a window whose main loop runs on a manual clock:
// time moves only when the loop sleeps or a test advances it, so the loop's
// arithmetic can be checked pass by pass.
class ManualClockApp : public App
{
  public:
    ManualClockApp();

    void Advance(uint32_t milliseconds) { now += milliseconds; }
    // Runs passes until the clock has moved on by that much.
    void RunFor(uint32_t milliseconds);

    uint32_t now = 100000;
    std::vector<uint32_t> sleeps;
};
