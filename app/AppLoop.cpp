#include "app/App.h"

#include "app/AppLock.h"
#include "app/Audio.h"
#include "app/Graphics.h"
#include "app/Keyboard.h"
#include "platform/Crash.h"
#include "platform/System.h"
#include "platform/Window.h"

#include <algorithm>
#include <cmath>

namespace {
// How long a pass that has nothing to do sleeps (quitting while the loader
// still runs, or paused while inactive), so that it does not spin.
constexpr uint32_t kIdleNap = 5;

// A loader pass never gives away more than this.
constexpr int kMaxLoaderNap = 250;

// The loop runs a draw-or-sleep pass after this many update passes at speed
// 1.0, even when the logic is behind.
constexpr double kDrawLimitAtNormalSpeed = 10.0;

constexpr double kMaxElapsed = 1000.0;

// Vsync pacing gives up after this many batches of one second's updates that
// each finished within kFastBatch ms.
constexpr int kVsyncStrikes = 3;
constexpr uint32_t kFastBatch = 750;

// Nice steps the loader thread takes below the main thread: enough for the
// main thread to come first, little enough that loading keeps a fair share
// beside other programs.
constexpr int kLoaderPriorityDrop = 3;
} // namespace

void App::Go()
{
    StartLoader();
    ResetTiming();
    // A quit request waits for the loader thread to finish.
    while (!quit || loading)
        Step();
    if (loader.joinable())
        loader.join();
}

void App::StartLoader()
{
    // Set here as well as on the thread, so the loop cannot end before the
    // thread has started.
    loading = true;
    loader = std::thread([this] {
        Platform::Crash::PrepareThread();
        // The main thread keeps the title screen moving while this one
        // loads: it comes first when both want the processor.
        Platform::System::LowerThreadPriority(kLoaderPriorityDrop);
        loading = true;
        loaded = false;
        loaderBusy = true;
        Load();
        loaderBusy = false;
        loading = false;
        loaded = true;
        loadDonePending = true;
    });
}

void App::Step()
{
    effectiveSpeed = requestedSpeed;
    bool vsyncPacing = vsyncMode && theGraphics.mFullscreen && !vsyncRefused;

    uint32_t sampleTime = clock();
    if (sampleTime >= nextFrameSample) {
        if (showFrameRate)
            frameRateText.Format("%d", framesThisSecond);
        framesLastSecond = framesThisSecond;
        framesThisSecond = 0;
        nextFrameSample = sampleTime + 1000;
    }

    PumpMessages();

    double period = stepLength / static_cast<double>(effectiveSpeed);
    double stepsPerFrame = 1.0;
    unsigned refreshRate = static_cast<unsigned>(std::max(theGraphics.mRefreshRate, 0));
    if (vsyncMode && refreshRate != 0) {
        period = (1000.0 / refreshRate) / effectiveSpeed;
        stepsPerFrame = 1000.0 / (static_cast<double>(stepLength) * refreshRate);
    }

    if (quit || (!active && pauseWhenInactive)) {
        sleep(kIdleNap);
        return;
    }

    uint32_t now = clock();
    uint32_t slept = 0;
    if (!vsyncPacing)
        MeasureElapsed();

    ++passesWithoutDraw;
    int drawLimit = static_cast<int>(std::ceil(effectiveSpeed * kDrawLimitAtNormalSpeed));
    bool forcedDraw = passesWithoutDraw >= drawLimit && !loading;
    bool update = vsyncPacing ? (!drawDue || static_cast<int>(period * 0.75) <= elapsed) : period <= elapsed;

    if (!forcedDraw && update) {
        VsyncWatchdog(now);
        DoUpdate();
        stepFraction += stepsPerFrame - 1.0;
        while (stepFraction >= 1.0) {
            DoUpdate();
            stepFraction -= 1.0;
        }
        FractionalUpdate(static_cast<float>(stepsPerFrame));
        elapsed -= period;
        if (vsyncPacing)
            elapsed = std::max(0.0, elapsed - period - 0.2);
        drawDue = true;
    } else {
        passesWithoutDraw = 0;
        if (drawDue)
            DrawFrame();
        else {
            int wait = static_cast<int>(period - elapsed);
            if (wait > 0) {
                sleep(static_cast<uint32_t>(wait));
                slept = static_cast<uint32_t>(wait);
            }
        }
    }

    // Give the loader thread the processor for about twice what this pass
    // worked.
    if (loaderBusy) {
        int work = static_cast<int>(clock() - now - slept);
        int nap = 2 * work - static_cast<int>(slept);
        if (nap > kMaxLoaderNap)
            sleep(kMaxLoaderNap);
        else if (nap >= 0)
            sleep(static_cast<uint32_t>(nap));
    }
}

void App::DoUpdate()
{
    ++updateCount;
    inUpdate = true;
    inDraw = false;
    Update();
    PostUpdate();
    inUpdate = false;
    inDraw = false;
}

void App::FractionalUpdate(float fraction)
{
    if (!vsyncMode)
        return;
    inUpdate = true;
    inDraw = false;
    DoUpdateFractional(fraction);
    inUpdate = false;
    inDraw = false;
}

void App::DoUpdateFractional(float fraction)
{
    UpdateFractional(fraction);
    rootGadgets.UpdateFractional(fraction);
}

void App::DrawFrame()
{
    ++drawCount;
    drawDue = false;
    if (quit || (!active && (theGraphics.mFullscreen || theGraphics.mInvalidated)))
        return;
    ++framesThisSecond;
    if (!theGraphics.mStarted)
        return;
    if (!theGraphics.IsLost()) {
        AppLock lock(*this);
        inUpdate = false;
        inDraw = true;
        BeginDraw();
        Draw();
        EndDraw();
        inDraw = false;
    }
    theGraphics.Present();
}

void App::Update()
{
    if (loadDonePending) {
        loadDonePending = false;
        LoadComplete();
    }
    if (--mouseCheckCountdown < 1) {
        CheckMouseOutside();
        mouseCheckCountdown = 10;
    }
    ProcessInputQueue();
    // The screen saver may start only in a window, once loading is done.
    if (window)
        window->AllowScreenSaver(loaded && !theGraphics.mFullscreen);
    theAudio.Update();
    theKeyboard.Poll();
    if (cheatsEnabled)
        CheatKeys();
    rootGadgets.Update();
    rootObjects.Update();
}

void App::BeginDraw()
{
    if (minimized)
        return;
    theGraphics.BeginScene();
    if (!theGraphics.IsLost())
        theGraphics.mTranslation = Point(0, 0);
}

void App::EndDraw()
{
    if (!minimized && !theGraphics.IsLost())
        theGraphics.EndScene();
}

void App::Draw()
{
    if (minimized || theGraphics.IsLost() || (theGraphics.mFullscreen && !active))
        return;
    PreDraw();
    rootGadgets.Draw();
    PostDraw();
    DrawDebugText();
}

void App::DrawDebugText()
{
    int y = 5;
    auto line = [&y](const String& text) {
        theGraphics.DrawDebugText(text, 5, y);
        y += 16;
    };
    if (showDebugText) {
        line("Cheats Enabled");
        line(String::StringFormat("Update: %d%%", static_cast<int>(effectiveSpeed * 100)));
    }
    if (showFrameRate)
        line(String::StringFormat("FPS: %s", frameRateText));
    if (showSwaps)
        line(String::StringFormat("SWAPS: %d", theGraphics.mFramesPresented));
    if (showVideoMemory)
        line(String::StringFormat("VIDMEM: %d", theGraphics.GetUsedVideoMemory()));
}

void App::SetSpeed(float speed)
{
    requestedSpeed = speed;
}

void App::SetVsync(bool on)
{
    vsyncMode = on;
    ResetTiming();
    if (on)
        theGraphics.mVSync = true;
}

void App::ResetTiming()
{
    lastClock = clock();
    elapsed = 0.0;
    stepFraction = 0.0;
    passesWithoutDraw = 0;
}

void App::MeasureElapsed()
{
    uint32_t now = clock();
    if (lastClock != 0)
        elapsed = std::min(elapsed + static_cast<double>(now - lastClock), kMaxElapsed);
    lastClock = now;
}

// Three batches in a row of one second's updates done in 750 ms or less mean
// the display is not waiting for the vertical blank: back to timer pacing
// for the rest of the run.
void App::VsyncWatchdog(uint32_t now)
{
    if (effectiveSpeed != 1.0f || !vsyncMode)
        return;
    uint32_t batchSize = static_cast<uint32_t>((stepLength + 999) / stepLength);
    if (++watchdogBatchCount < batchSize)
        return;
    if (now - watchdogBatchStart <= kFastBatch) {
        if (++watchdogStrikes >= kVsyncStrikes) {
            vsyncRefused = true;
            SetVsync(false);
        }
    } else
        watchdogStrikes = 0;
    watchdogBatchStart = now;
    watchdogBatchCount = 0;
}
