// "Ready" and "Go" at the start of a level.
#include "game/ReadyOverlay.h"

#include "app/Graphics.h"
#include "game/Board.h"
#include "game/QuorbSwapApp.h"

#include <cmath>
#include <numbers>

namespace
{
constexpr float kSlideSettled = 3.0f;
constexpr int32_t kReadyTicks = 120;
constexpr int32_t kGoTicks = 100;
constexpr float kFadeStep = 0.04f;

float SinDegrees(float degrees)
{
    return std::sin(degrees * std::numbers::pi_v<float> / 180.0f);
}
} // namespace

ReadyOverlay::ReadyOverlay(Board* board) : board(board), app(board ? board->app : nullptr)
{
    SetFullScreen();
}

ReadyOverlay::~ReadyOverlay()
{
    if (board && board->readyOverlay == this) {
        board->readyOverlay = nullptr;
    }
}

void ReadyOverlay::Update()
{
    // The board went away under the banner.
    if (!board) {
        Kill();
        return;
    }
    switch (state) {
    case 0:
        phase += 2.5f;
        if (board->slideOffset.Length() < kSlideSettled) {
            state = 1;
            timer = kReadyTicks;
        }
        break;
    case 1:
        timer -= 1;
        phase += 5.0f;
        if (timer < 1) {
            state = 2;
        }
        break;
    case 2:
        phase += 5.0f;
        spin += spinSpeed;
        spinSpeed += 0.2f;
        alpha -= kFadeStep;
        if (alpha <= 0.0f) {
            board->PlaceLevelSkulls();
            state = 3;
            timer = kGoTicks;
        }
        break;
    default:
        timer -= 1;
        phase += 5.0f;
        if (timer < 1) {
            alpha += kFadeStep;
        }
        if (alpha >= 1.0f) {
            board->ShowHint();
            Kill();
        }
        break;
    }
}

void ReadyOverlay::Draw()
{
    if (!board || !app) {
        return;
    }
    theGraphics.PushTranslation();
    theGraphics.mTranslation.x -= board->slideOffset.x;
    theGraphics.mTranslation.y -= board->slideOffset.y;
    const float pulse = SinDegrees(phase) * 0.05f + 1.0f;
    if (state <= 2) {
        theGraphics.SetColorRGBA(1.0f, 1.0f, 1.0f, alpha);
        app->sprReady.DrawRotated(400.0f, 300.0f, spin, pulse * alpha);
    }
    if (state >= 2) {
        theGraphics.SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f - alpha);
        app->sprGo.DrawRotated(380.0f, 300.0f, 65.0f - spin, pulse * (1.0f - alpha));
    }
    theGraphics.SetColorWhite();
    theGraphics.PopTranslation();
}
