// The lost-level overlay and its record.
#include "game/LoseOverlay.h"

#include "app/Graphics.h"
#include "app/IOBuffer.h"
#include "app/Math.h"
#include "game/Board.h"
#include "game/EnterYourName.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace
{
constexpr float kFlashStep = 0.05f;
constexpr float kPromptStep = 0.005f;
constexpr float kPromptRise = 3.0f;
constexpr int kOutlineCopies = 18;
constexpr float kOutlineStep = 20.0f;
constexpr float kOutlineWidth = 4.0f;
constexpr int kBlinkTicks = 20;
// The prompt's top once risen: just under "You Lose" (99 px tall at 265), so
// that from 100 px lower it rises clear of the reason banner at 510.
constexpr float kPromptTop = 330.0f;

float SinDegrees(float degrees)
{
    return std::sin(degrees * std::numbers::pi_v<float> / 180.0f);
}
} // namespace

LoseOverlay::LoseOverlay(Board* board, LoseReason reason)
    : board(board), app(board ? board->app : nullptr), reason(reason)
{
    SetFullScreen();
    if (app) {
        app->sndLose.Play(1.0f);
    }
    if (board) {
        board->goalCheckPending = false;
        board->shake = 10.0f;
        board->ChangeAllToSkulls();
    }
}

LoseOverlay::~LoseOverlay()
{
    if (board && board->loseOverlay == this) {
        board->loseOverlay = nullptr;
    }
}

void LoseOverlay::Update()
{
    flashAlpha = std::max(flashAlpha - kFlashStep, 0.0f);
    if (slide > 0.0f) {
        slide = std::max(slide - 1.0f, 0.0f) * 0.95f;
        if (slide == 0.0f && app) {
            app->sndDiedSong.Play(1.0f);
        }
    }
    if (slide == 0.0f && (!board || board->movingCount <= 0)) {
        promptAlpha = std::min(promptAlpha + kPromptStep, 1.0f);
        if (promptAlpha >= 1.0f) {
            promptOffset = std::max(promptOffset - kPromptRise, 0.0f);
        }
    }
}

void LoseOverlay::Draw()
{
    if (!app) {
        return;
    }
    if (!reasonSprite) {
        Sprite* sprites[] = {&app->sprQuorbMeterDrained, &app->sprNoMovesPossible, &app->sprOutOfTime,
                             &app->sprComputerWins};
        reasonSprite = sprites[std::clamp(static_cast<int>(reason), 0, 3)];
    }
    const float t = static_cast<float>(app->updateCount);
    theGraphics.SetColorRGBA(1.0f, 1.0f, 1.0f, promptAlpha);
    app->sprYouLose.DrawScaled(400.0f, 265.0f, 1.0f + 0.015f * SinDegrees(t + 100.0f));
    theGraphics.SetColorWhite();
    reasonSprite->DrawScaled(400.0f + slide, 510.0f, 1.0f + 0.01f * SinDegrees(t));
    theGraphics.SetColorRGBA(1.0f, 1.0f, 1.0f, flashAlpha);
    theGraphics.FillRect(0.0f, 0.0f, static_cast<float>(kScreenWidth), static_cast<float>(kScreenHeight));
    if (promptAlpha >= 1.0f) {
        DrawPrompt();
    }
    theGraphics.SetColorWhite();
}

// Over the player's own pieces, inside its frame: below the grid the prompt
// would lie on the frame's bottom edge and, in a duel, across both meters.
void LoseOverlay::DrawPrompt()
{
    theGraphics.PushTranslation();
    theGraphics.mTranslation.y += promptOffset;
    Font& font = app->fontArialBlack23;
    const String prompt = "CLICK TO CONTINUE";
    const float x = PromptCentreX();
    theGraphics.SetColorRGBA(0.0f, 0.0f, 0.0f, 1.0f);
    for (int i = 0; i < kOutlineCopies; ++i) {
        Point dir;
        Math::AngleToVector(kOutlineStep * static_cast<float>(i), dir);
        font.DrawCentered(prompt, x + dir.x * kOutlineWidth, kPromptTop + dir.y * kOutlineWidth);
    }
    if ((app->updateCount / kBlinkTicks) % 2 == 0) {
        theGraphics.SetColorRGBA(1.0f, 0.0f, 0.0f, 1.0f);
    } else {
        theGraphics.SetColorWhite();
    }
    font.DrawCentered(prompt, x, kPromptTop);
    theGraphics.PopTranslation();
}

// The middle of the player's grid, in this overlay's frame (its parent is
// the board or, in a duel, the game).
float LoseOverlay::PromptCentreX() const
{
    if (!board) {
        return static_cast<float>(kScreenWidth) / 2.0f;
    }
    const float gridMiddle = board->GetAbsolutePosition().x + board->gridRect.x + board->gridRect.w / 2.0f;
    return gridMiddle - GetAbsolutePosition().x;
}

void LoseOverlay::MouseDown(int /*x*/, int /*y*/, int /*button*/)
{
    if (promptAlpha < 1.0f) {
        return;
    }
    CoreMouseExit();
    disabled = true;
    if (!board || !board->game || !app) {
        return;
    }
    switch (board->CurrentMode()) {
    case GameMode::Journey:
        board->game->OnLevelLost();
        return;
    case GameMode::Casual:
    case GameMode::Speed: {
        HighScoreList& list = board->CurrentMode() == GameMode::Casual ? app->casualScores : app->speedScores;
        const int score = board->levelScore;
        if (list.Qualifies(score)) {
            EnterYourName::EnterHighScore(app, list, score);
            // A quit ended the name entry: the program is closing.
            if (app->IsQuitting()) {
                return;
            }
        }
        app->GoToPuzzler(true);
        return;
    }
    }
}

void LoseOverlay::Save(IOBuffer& buffer)
{
    buffer.WriteInt(static_cast<int32_t>(reason));
    buffer.WriteFloat(flashAlpha);
    buffer.WriteFloat(slide);
    buffer.WriteFloat(promptAlpha);
    buffer.WriteFloat(promptOffset);
}

void LoseOverlay::Load(IOBuffer& buffer)
{
    // The saved game was checked whole before anything was built from it.
    reason = static_cast<LoseReason>(buffer.ReadInt());
    flashAlpha = buffer.ReadFloat();
    slide = buffer.ReadFloat();
    promptAlpha = buffer.ReadFloat();
    promptOffset = buffer.ReadFloat();
    reasonSprite = nullptr;
}
