// The won-level overlay and its record.
#include "game/WinOverlay.h"

#include "app/Graphics.h"
#include "app/IOBuffer.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>

namespace
{
constexpr float kScaleStep = 0.01f;
constexpr float kSpinFactor = 1.25f;
constexpr int32_t kHoldTicks = 100;
constexpr float kPanelStep = 4.0f;
constexpr int32_t kTicksPerSecond = 100;
// The glyphs of the result lines sit closer than the font's own spacing.
constexpr int kNarrowing = 2;
} // namespace

WinOverlay::WinOverlay(Board* board) : board(board), app(board ? board->app : nullptr)
{
    SetFullScreen();
    if (board) {
        board->loseCheckPending = false;
        board->movingCount += 1;
    }
    // Wind the banner back so that the update spins it in while it grows.
    scale = 1.0f;
    rotation = 1.0f;
    while (scale > 0.0f) {
        scale -= kScaleStep;
        rotation *= kSpinFactor;
    }
    if (app) {
        app->sndWonTheme.Play(1.0f);
    }
    panelOffset = 0.0f;
    state = 0;
    const int32_t ticks = board ? board->levelTicks : 0;
    const int32_t seconds = ticks / kTicksPerSecond;
    timeText = String::StringFormat("TOTAL TIME: %.2d:%.2d:%.2d", seconds / 60, seconds % 60,
                                    ticks % kTicksPerSecond);
    matchedText = String::StringFormat("QUORBS MATCHED: %d", board ? board->piecesMatched : 0);
    scoreText = String::StringFormat("SCORE THIS LEVEL: %d", board ? board->levelScore : 0);
}

WinOverlay::~WinOverlay()
{
    if (board && board->winOverlay == this) {
        board->winOverlay = nullptr;
    }
}

void WinOverlay::Update()
{
    if (scale < 1.0f) {
        scale += kScaleStep;
        rotation /= kSpinFactor;
    }
    if (scale >= 1.0f) {
        rotation = 0.0f;
    }
    switch (state) {
    case 0:
        if (scale >= 1.0f) {
            state = 1;
            holdCounter = 0;
        }
        break;
    case 1:
        // A loaded counter beyond the hold ends it at once.
        holdCounter = std::min(holdCounter, kHoldTicks) + 1;
        if (holdCounter > kHoldTicks) {
            state = 2;
        }
        break;
    case 2: {
        const float panelHeight = app ? static_cast<float>(app->sprQuickStats.mHeight) : 0.0f;
        panelOffset -= kPanelStep;
        if (panelOffset < -panelHeight) {
            panelOffset = -panelHeight;
            state = 3;
        }
        break;
    }
    default:
        break;
    }
}

void WinOverlay::Draw()
{
    if (!app) {
        return;
    }
    theGraphics.PushTranslation();
    theGraphics.mTranslation.y += panelOffset;
    app->sprWin.DrawRotated(400.0f, 300.0f - panelOffset / 1.5f, rotation, scale);
    const Sprite& panel = app->sprQuickStats;
    app->sprQuickStats.Draw(static_cast<float>(400 - panel.mWidth / 2), 600.0f);
    Font& font = app->fontArialBlack23;
    font.AddSpacing(-kNarrowing, 0);
    font.Draw(timeText, 145.0f, 655.0f);
    font.Draw(matchedText, 160.0f, 690.0f);
    font.Draw(scoreText, 175.0f, 725.0f);
    font.AddSpacing(kNarrowing, 0);
    theGraphics.PopTranslation();
}

void WinOverlay::MouseDown(int /*x*/, int /*y*/, int /*button*/)
{
    if (state != 3) {
        return;
    }
    taken = true;
    if (board && board->game) {
        board->game->OnLevelWon();
    }
    CoreMouseExit();
    disabled = true;
}

void WinOverlay::Save(IOBuffer& buffer)
{
    buffer.WriteInt(state);
    buffer.WriteInt(holdCounter);
    buffer.WriteFloat(rotation);
    buffer.WriteFloat(scale);
    buffer.WriteFloat(panelOffset);
    buffer.WriteString(timeText);
    buffer.WriteString(matchedText);
    buffer.WriteString(scoreText);
}

void WinOverlay::Load(IOBuffer& buffer)
{
    state = buffer.ReadInt();
    holdCounter = buffer.ReadInt();
    rotation = buffer.ReadFloat();
    scale = buffer.ReadFloat();
    panelOffset = buffer.ReadFloat();
    timeText = buffer.ReadString();
    matchedText = buffer.ReadString();
    scoreText = buffer.ReadString();
}
