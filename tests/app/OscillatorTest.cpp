#include "app/Oscillator.h"

#include "support/ManualClockApp.h"

#include <gtest/gtest.h>

namespace {
// The updates after which the oscillator flipped, over that many updates.
std::vector<int> Flips(ManualClockApp& app, Oscillator& oscillator, int updates)
{
    std::vector<int> flips;
    bool last = oscillator.state;
    for (int i = 1; i <= updates; ++i) {
        app.rootObjects.Update();
        if (oscillator.state != last)
            flips.push_back(i);
        last = oscillator.state;
    }
    return flips;
}

TEST(OscillatorTest, FlipsEveryPeriodThroughTheApplicationsObjects)
{
    ManualClockApp app;
    Oscillator fast;
    fast.period = 25;
    EXPECT_EQ(Flips(app, fast, 80), (std::vector<int>{25, 50, 75}));
    EXPECT_TRUE(fast.changed);
}

TEST(OscillatorTest, TheDefaultPeriodIsOneHundredAndPausingStopsIt)
{
    ManualClockApp app;
    Oscillator slow;
    EXPECT_EQ(Flips(app, slow, 210), (std::vector<int>{100, 200}));
    slow.Pause();
    EXPECT_TRUE(Flips(app, slow, 200).empty());
}

TEST(OscillatorTest, LeavesTheApplicationsObjectsWhenDestroyed)
{
    ManualClockApp app;
    {
        Oscillator oscillator;
        EXPECT_EQ(app.rootObjects.Count(), 1);
    }
    EXPECT_EQ(app.rootObjects.Count(), 0);
    app.rootObjects.Update();
}
} // namespace
