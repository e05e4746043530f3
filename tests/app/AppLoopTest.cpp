#include "app/App.h"
#include "app/Graphics.h"
#include "app/RunApplication.h"

#include "support/ManualClockApp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {
// Counts the passes of the loop by what they did.
class LoopApp : public ManualClockApp
{
  public:
    // Without a started graphics device nothing is drawn, but every frame
    // the loop asks for is counted.
    void Update() override
    {
        if (drawCount != lastDrawCount) {
            longestRun = std::max(longestRun, updatesSinceDraw);
            updatesSinceDraw = 0;
            lastDrawCount = drawCount;
        }
        ++updates;
        ++updatesSinceDraw;
        Advance(workPerUpdate);
        App::Update();
    }

    int updates = 0;
    int updatesSinceDraw = 0;
    int lastDrawCount = 0;
    int longestRun = 0;
    uint32_t workPerUpdate = 0;
};

TEST(AppLoop, HundredUpdatesPerSecondAtNormalSpeed)
{
    LoopApp app;
    app.ResetTiming();
    app.RunFor(1000);
    EXPECT_NEAR(app.updates, 100, 1);
    EXPECT_NEAR(app.drawCount, 100, 1);
}

TEST(AppLoop, SpeedFactorScalesTheStepAndTheDrawLimit)
{
    LoopApp fast;
    fast.SetSpeed(2.0f);
    fast.ResetTiming();
    fast.RunFor(1000);
    EXPECT_NEAR(fast.updates, 200, 1);

    LoopApp slow;
    slow.SetSpeed(0.5f);
    slow.ResetTiming();
    slow.RunFor(1000);
    EXPECT_NEAR(slow.updates, 50, 1);
}

// A stall costs at most one second of catch-up, and a draw-or-sleep pass
// comes after the draw limit of update passes.
TEST(AppLoop, StallIsClampedToOneSecondAndDrawsInterleave)
{
    for (float speed : {1.0f, 2.0f, 0.5f}) {
        LoopApp app;
        app.SetSpeed(speed);
        app.ResetTiming();
        app.Advance(5000);
        int passes = 0;
        int drawLimit = speed == 1.0f ? 10 : speed == 2.0f ? 20 : 5;
        while (app.sleeps.empty() && passes < 10000) {
            app.Step();
            ++passes;
        }
        EXPECT_EQ(app.updates, static_cast<int>(1000 * speed / 10)) << "speed " << speed;
        EXPECT_EQ(app.longestRun, drawLimit - 1) << "speed " << speed;
    }
}

TEST(AppLoop, SpeedChangeTakesEffectAtTheNextPass)
{
    LoopApp app;
    app.ResetTiming();
    app.Advance(10);
    app.SetSpeed(2.0f);
    EXPECT_FLOAT_EQ(app.effectiveSpeed, 1.0f);
    app.Step();
    EXPECT_FLOAT_EQ(app.effectiveSpeed, 2.0f);
}

TEST(AppLoop, NothingOwedSleepsTheRestOfTheStep)
{
    LoopApp app;
    app.ResetTiming();
    app.Advance(3);
    app.Step();
    ASSERT_EQ(app.sleeps.size(), 1u);
    EXPECT_EQ(app.sleeps[0], 7u);
    EXPECT_EQ(app.updates, 0);
}

TEST(AppLoop, PausedWhileInactiveNapsInsteadOfSpinning)
{
    LoopApp app;
    app.pauseWhenInactive = true;
    app.active = false;
    app.ResetTiming();
    for (int i = 0; i < 20; ++i)
        app.Step();
    EXPECT_EQ(app.updates, 0);
    ASSERT_EQ(app.sleeps.size(), 20u);
    for (uint32_t nap : app.sleeps)
        EXPECT_GT(nap, 0u);
}

// The loader thread blocks until the test lets it go.
class LoadingApp : public LoopApp
{
  public:
    void Load() override
    {
        loadThread = std::this_thread::get_id();
        loaderNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        while (!release)
            std::this_thread::yield();
    }

    void LoadComplete() override
    {
        ++completions;
        completeThread = std::this_thread::get_id();
        completedAtUpdate = updates;
    }

    std::atomic<bool> release{false};
    std::thread::id loadThread;
    std::thread::id completeThread;
    int loaderNice = 0;
    int completions = 0;
    int completedAtUpdate = -1;
};

TEST(AppLoop, LoaderNapIsTwiceTheWorkCappedAt250)
{
    LoadingApp app;
    app.workPerUpdate = 30;
    app.loaderBusy = true;
    app.loading = true;
    app.ResetTiming();
    app.Advance(10);
    app.Step();
    ASSERT_EQ(app.updates, 1);
    ASSERT_EQ(app.sleeps.size(), 1u);
    EXPECT_EQ(app.sleeps[0], 60u);

    app.workPerUpdate = 200;
    app.sleeps.clear();
    app.Step();
    ASSERT_EQ(app.sleeps.size(), 1u);
    EXPECT_EQ(app.sleeps[0], 250u);
}

TEST(AppLoop, NoForcedDrawWhileLoading)
{
    LoadingApp app;
    app.loaderBusy = true;
    app.loading = true;
    app.ResetTiming();
    app.Advance(1000);
    for (int i = 0; i < 30; ++i)
        app.Step();
    EXPECT_EQ(app.updates, 30);
    EXPECT_EQ(app.drawCount, 0);
}

TEST(AppLoop, QuitWaitsForTheLoaderWhichGivesWayAndLoadCompleteRunsOnceOnTheMainThread)
{
    LoadingApp app;
    int napsAfterQuit = 0;
    app.sleep = [&](uint32_t milliseconds) {
        app.now += milliseconds;
        if (!app.quit && app.updates >= 5)
            app.Quit();
        else if (app.quit && ++napsAfterQuit == 50)
            app.release = true;
    };
    std::thread::id mainThread = std::this_thread::get_id();
    const int mainNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    app.Go();
    EXPECT_GE(napsAfterQuit, 50);
    EXPECT_FALSE(app.loading);
    EXPECT_TRUE(app.loaded);
    EXPECT_NE(app.loadThread, mainThread);
    // The loader gives way to the main thread, however low the test itself
    // was started; at the lowest priority there is no lower to go, and the
    // loader stays there with it. The main thread keeps its own.
    constexpr int kLowestNice = 19;
    if (mainNice < kLowestNice)
        EXPECT_GT(app.loaderNice, mainNice);
    else
        EXPECT_EQ(app.loaderNice, kLowestNice);
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())), mainNice);
    // Quitting replays nothing more, so the completion waits for an update.
    EXPECT_EQ(app.completions, 0);
    app.DoUpdate();
    EXPECT_EQ(app.completions, 1);
    EXPECT_EQ(app.completeThread, mainThread);
    app.DoUpdate();
    EXPECT_EQ(app.completions, 1);
}

TEST(AppLoop, LoadCompleteRunsInTheFirstUpdateAfterLoad)
{
    LoadingApp app;
    app.release = true;
    app.sleep = [&](uint32_t milliseconds) {
        app.now += milliseconds;
        if (app.completions > 0 && app.updates > app.completedAtUpdate + 3)
            app.Quit();
    };
    app.Go();
    EXPECT_EQ(app.completions, 1);
    EXPECT_GE(app.completedAtUpdate, 1);
}

class VsyncApp : public LoopApp
{
  public:
    VsyncApp() { theGraphics.mFullscreen = true; }
    ~VsyncApp() override { theGraphics.mFullscreen = false; }
};

TEST(AppLoop, VsyncPacingGivesUpAfterThreeFastBatches)
{
    VsyncApp app;
    app.SetVsync(true);
    int passes = 0;
    while (!app.vsyncRefused && passes < 2000) {
        app.Step();
        ++passes;
    }
    EXPECT_TRUE(app.vsyncRefused);
    EXPECT_FALSE(app.vsyncMode);
    EXPECT_EQ(app.watchdogStrikes, 3);
}

TEST(AppLoop, SlowVsyncBatchResetsTheStrikes)
{
    VsyncApp app;
    app.SetVsync(true);
    // The first batch only starts the measurement; then fast, slow, fast,
    // fast: without the slow one the fourth batch would end vsync pacing.
    int batches = 0;
    int lastCount = 0;
    for (int pass = 0; pass < 4000 && batches < 5; ++pass) {
        app.Step();
        if (app.watchdogBatchCount < static_cast<uint32_t>(lastCount)) {
            ++batches;
            if (batches == 2)
                app.Advance(751);
        }
        lastCount = static_cast<int>(app.watchdogBatchCount);
    }
    EXPECT_EQ(batches, 5);
    EXPECT_EQ(app.watchdogStrikes, 2);
    EXPECT_FALSE(app.vsyncRefused);
    EXPECT_TRUE(app.vsyncMode);
}

// Restart: the entry point builds and runs a new application as long as the
// finished one asked for it.
class RestartingApp : public ManualClockApp
{
  public:
    explicit RestartingApp(bool restartOnce) : restartOnce(restartOnce) { ++built; }
    ~RestartingApp() override { ++deleted; }
    void Initialize() override {}
    void Update() override
    {
        App::Update();
        if (updateCount == 3)
            restartOnce ? Restart() : Quit();
    }

    bool restartOnce;
    static int built;
    static int deleted;
};
int RestartingApp::built = 0;
int RestartingApp::deleted = 0;

TEST(AppLoop, PumpingForAPeriodNapsAndOutlastsAMinimizedWindow)
{
    ManualClockApp app;
    app.PumpMessagesFor(30);
    EXPECT_EQ(app.sleeps, (std::vector<uint32_t>{10, 10, 10}));

    app.sleeps.clear();
    app.minimized = true;
    app.sleep = [&](uint32_t milliseconds) {
        app.sleeps.push_back(milliseconds);
        app.now += milliseconds;
        if (app.sleeps.size() == 6)
            app.minimized = false;
    };
    app.PumpMessagesFor(30);
    EXPECT_EQ(app.sleeps.size(), 6u);

    // Quitting ends the wait even while the window stays minimized.
    app.sleeps.clear();
    app.minimized = true;
    app.Quit();
    app.PumpMessagesFor(30);
    EXPECT_TRUE(app.sleeps.empty());
}

TEST(AppLoop, RestartRunsANewApplicationObject)
{
    const char* argv[] = {"program"};
    // Counted afresh each time the test runs (gtest_repeat).
    RestartingApp::built = RestartingApp::deleted = 0;
    int made = 0;
    int status = RunApplication(1, argv, [&made]() -> App* { return new RestartingApp(made++ == 0); });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(RestartingApp::built, 2);
    EXPECT_EQ(RestartingApp::deleted, 2);
    EXPECT_EQ(theApp, nullptr);
}
} // namespace
