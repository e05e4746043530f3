#include "ManualClockApp.h"

ManualClockApp::ManualClockApp()
{
    clock = [this] { return now; };
    sleep = [this](uint32_t milliseconds) {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    };
}

void ManualClockApp::RunFor(uint32_t milliseconds)
{
    uint32_t end = now + milliseconds;
    while (now < end)
        Step();
}
