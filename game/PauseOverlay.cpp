// The pause overlay.
#include "game/PauseOverlay.h"

#include "app/Graphics.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>

PauseOverlay::PauseOverlay(QuorbSwapApp* owner) : app(owner)
{
    name = "pause overlay";
    TakeKeyFocus();
    SetFullScreen();
    app->PostPaint();
}

void PauseOverlay::Resume()
{
    Kill();
    if (app->game != nullptr) {
        app->game->SetPaused(0);
        app->game->TakeKeyFocus();
    }
}

void PauseOverlay::MouseDown(int, int, int)
{
    Resume();
}

void PauseOverlay::Char(int)
{
    Resume();
}

// Bands of blue brightening to the middle of the screen and fading below it.
void PauseOverlay::Draw()
{
    float blue = 0.0f;
    for (int y = 0; y < 600; y += 25) {
        theGraphics.SetColor(0, 0, blue, 0.75f);
        theGraphics.FillRect(0, static_cast<float>(y), 800, 25);
        if (y < 300)
            blue = std::min(blue + 0.075f, 1.0f);
        else
            blue = std::max(blue - 0.075f, 0.0f);
    }
    theGraphics.SetColorWhite();
    app->sprPauseGame.DrawCentered(400, 300);
}
