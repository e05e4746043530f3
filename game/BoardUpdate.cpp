// The per-tick board update and the settle step.
#include "game/Board.h"

#include "app/App.h"
#include "app/Console.h"
#include "app/Math.h"
#include "app/Random.h"
#include "game/Anim_Floater.h"
#include "game/Clutter.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>
#include <cmath>

namespace {

// Alternates between two colours every 20 application ticks.
Color Blink(Color first, Color second)
{
    const int ticks = theApp != nullptr ? theApp->updateCount : 0;
    return (ticks / 20) % 2 == 0 ? first : second;
}

float MoveTowards(float value, float target, float down, float up)
{
    if (value > target)
        return std::max(value - down, target);
    return std::min(value + up, target);
}

} // namespace

void Board::Update()
{
    repairCountdown = std::max(repairCountdown - 1, -1);
    if (repairCountdown == 0) {
        if (movingCount == 0) {
            if (theConsole != nullptr)
                theConsole->Printf("Correct Holes!");
            repairCountdown = -1;
            CorrectHoles();
        } else {
            repairCountdown = 10;
        }
    }

    if (demoMode)
        UpdateDemo();

    if (relaxPopups) {
        Clutter clutter;
        for (int i = 0; i < popups.Count(); i++) {
            auto* popup = static_cast<Anim_Floater*>(popups.Get(i));
            clutter.Add(popup->GetBounds(), !popup->settling);
        }
        clutter.Relax();
        for (int i = 0; i < popups.Count(); i++) {
            auto* popup = static_cast<Anim_Floater*>(popups.Get(i));
            const Point offset = clutter.GetOffset(i);
            popup->x += offset.x;
            popup->y += offset.y;
        }
        relaxPopups = false;
    }
    popups.Update();

    const bool speedGame = app != nullptr && app->gameMode == GameMode::Speed;
    if (speedGame && !demoMode)
        UpdateSpeedPressure();
    if (isComputer)
        UpdateComputer();

    if (showPressure && pressure != pressureShown) {
        pressure = std::clamp(pressure, 0.0f, 100.0f);
        pressureShown = MoveTowards(pressureShown, pressure, 2.0f, 1.0f);
    }

    if (!demoMode) {
        UpdateMeterDisplay();
        SettleWhenMeterShown();
    }

    slideOffset.x *= 0.95f;
    slideOffset.y *= 0.95f;
    if (slideOffset.Length() < 5.0f)
        slideOffset = Point();
    zoom = std::max(zoom - 0.005f, 0.0f) * 0.98f;
    shake = std::max(shake - 0.25f, 0.0f);

    effects.Update();
    pieces.Update();

    // An angle: it wraps, so that long play never takes it out of what a
    // saved game may hold.
    hintSpin = std::fmod(hintSpin + 2.5f, 360.0f);
    hintAlpha = std::min(hintAlpha + 0.05f, 1.0f);

    // An explosion may queue more; those count down from this tick too.
    for (size_t i = 0; i < explosions.size();) {
        explosions[i].delay--;
        if (explosions[i].delay >= 1) {
            i++;
            continue;
        }
        const Point point = explosions[i].pos;
        explosions.erase(explosions.begin() + static_cast<std::ptrdiff_t>(i));
        Explode(point);
    }

    if (movesFinished)
        Settle();

    if (IsPlaying()) {
        levelTicks = Math::AddSaturated(levelTicks, 1);
        if (showCountdown) {
            countdown--;
            if (countdown < 1) {
                countdown = 0;
                loseCheckPending = true;
                movingCount++;
                PieceMoveDone();
            }
            // A damaged save may give a start of 0.
            if (countdownStart > 0)
                tickLoop.SetPitch(
                    (1.0f - static_cast<float>(countdown) / static_cast<float>(countdownStart)) * 0.5f +
                    0.75f);
        }
    }
}

void Board::UpdateMeterDisplay()
{
    bool warningStarted = false;
    if (meterShown == meterValue) {
        tint = Color(1.0f, 1.0f, 1.0f, 1.0f);
        meterLoopTarget = 0.0f;
        if (meterDrain != 0.0f && IsPlaying() && meterValue < meterMax) {
            if (meterValue < 0.1f * meterMax) {
                tint = Blink(Color(1.0f, 0.0f, 0.0f, 1.0f), Color(0.25f, 0.0f, 0.0f, 1.0f));
                if (warningLoop.GetRequests() == 0 && meterValue > 0.0f) {
                    warningLoop.Start();
                    warningStarted = true;
                }
            }
            const bool wasNotNegative = meterShown >= 0.0f;
            meterShown += meterDrain;
            meterValue += meterDrain;
            if (wasNotNegative && meterShown < 0.0f) {
                meterShown = 0.0f;
                meterValue = 0.0f;
                LoseOnDrain();
            }
        }
    } else {
        const bool quickDrop = app != nullptr && app->gameMode != GameMode::Journey;
        if (meterValue < meterShown) {
            if (quickDrop)
                meterShown = std::max(meterShown - 0.3f, meterValue);
            meterShown = std::max(meterShown - 0.1f, meterValue);
        } else if (meterShown < meterValue) {
            meterShown = std::min(meterShown + 0.05f, meterValue);
        }
        if (meterMax > 0.0f)
            meterLoop.SetPitch((meterShown / meterMax) * 0.75f + 0.5f);
        meterLoopTarget = 1.0f;
        tint.FromPaletteIndex(theRandom->Get(5));
    }
    if (!warningStarted)
        warningLoop.Release();
    if (meterShown >= meterMax)
        tint = Blink(Color(0.0f, 1.0f, 0.0f, 1.0f), Color(0.0f, 0.25f, 0.0f, 1.0f));
    meterLoopVolume = MoveTowards(meterLoopVolume, meterLoopTarget, 0.025f, 0.1f);
    meterLoop.SetVolume(meterLoopVolume);
}

void Board::Settle()
{
    if (!explosions.empty())
        return;
    if (movingCount == 0 && matchingArmed)
        ProcessMatches();
    if (movingCount == 0 && refillPending)
        Refill();
    if (repairCountdown > 0)
        return;
    if (movingCount == 0 && goalCheckPending)
        CheckGoal();
    if (movingCount == 0 && loseCheckPending)
        CheckLose();
    movesFinished = false;
}
