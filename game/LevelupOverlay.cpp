// The level-up overlay with fireworks, and its record.
#include "game/LevelupOverlay.h"

#include "app/Color.h"
#include "app/Graphics.h"
#include "app/IOBuffer.h"
#include "app/Math.h"
#include "app/Random.h"
#include "game/Anim_Sprite.h"
#include "game/Board.h"
#include "game/Fireworks.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>

namespace
{
constexpr float kStartOffset = 420.0f;
constexpr float kMaxDim = 0.75f;
constexpr float kDimStep = 0.01f;
} // namespace

LevelupOverlay::LevelupOverlay(Board* board) : board(board), app(board ? board->app : nullptr)
{
    SetFullScreen();
    if (board) {
        board->movingCount += 1;
    }
    offset = kStartOffset;
    state = 0;
    dim = 0.0f;
    holdTimer = 100;
    if (app) {
        // An application that never loaded its art has no bundle folder.
        if (!app->bundleMap.mFolder.IsEmpty()) {
            sprFirework.LoadFromBundle(&app->bundleMap, "firework");
        }
        app->sndGold.PlayPitched(1.5f, 1.0f);
        app->sndWonTheme.Play(1.0f);
    }
    burstsLeft = board ? board->CurrentLevel() - 1 : 0;
}

LevelupOverlay::~LevelupOverlay()
{
    particles.DeleteAll();
    if (board) {
        board->PieceMoveDone();
        if (board->levelupOverlay == this) {
            board->levelupOverlay = nullptr;
        }
    }
}

void LevelupOverlay::Update()
{
    particles.Update();
    flash.Update();
    switch (state) {
    case 0:
        dim = std::min(dim + kDimStep, kMaxDim);
        offset = std::max(offset - 10.0f, 0.0f);
        if (offset == 0.0f) {
            state = 1;
            if (board) {
                board->zoom = 0.1f;
            }
            SpawnFireworks(400.0f, 300.0f);
        }
        break;
    case 1:
        // Both only count below 1: they rest at -1 however long the bursts
        // go on.
        holdTimer = std::max(holdTimer, 0) - 1;
        ticksToBurst = std::max(ticksToBurst, 0) - 1;
        if (ticksToBurst < 1 && burstsLeft > 0) {
            SpawnFireworks(-1.0f, -1.0f);
            burstsLeft -= 1;
        }
        if (holdTimer < 1 && burstsLeft <= 0) {
            state = 2;
        }
        break;
    default:
        dim = std::max(dim - kDimStep, 0.0f);
        offset = std::max(offset - 5.0f, -kStartOffset);
        if (offset <= -kStartOffset) {
            Kill();
        }
        break;
    }
}

void LevelupOverlay::Draw()
{
    if (!app) {
        return;
    }
    const float w = static_cast<float>(kScreenWidth);
    const float h = static_cast<float>(kScreenHeight);
    theGraphics.SetColorRGBA(0.0f, 0.0f, 0.25f, dim);
    theGraphics.FillRect(0.0f, 0.0f, w, h);
    theGraphics.SetColorWhite();
    particles.Draw();
    theGraphics.SetColorRGBA(1.0f, 1.0f, 1.0f, flash.alpha);
    theGraphics.FillRect(0.0f, 0.0f, w, h);
    theGraphics.SetColorWhite();
    app->sprLevelUp.DrawCentered(400.0f, 300.0f + offset);
}

void LevelupOverlay::SpawnFireworks(float x, float y)
{
    flash.Raise();
    ticksToBurst = Fireworks::Burst(particles, &sprFirework, app ? &app->sndFirework : nullptr, x, y, 20, 20);
}

void LevelupOverlay::Save(IOBuffer& buffer)
{
    buffer.WriteInt(state);
    buffer.WriteFloat(offset);
    buffer.WriteInt(holdTimer);
    buffer.WriteFloat(dim);
    buffer.WriteInt(ticksToBurst);
    buffer.WriteInt(burstsLeft);
    buffer.WriteFloat(flash.alpha);
}

void LevelupOverlay::Load(IOBuffer& buffer)
{
    state = buffer.ReadInt();
    offset = buffer.ReadFloat();
    holdTimer = buffer.ReadInt();
    dim = buffer.ReadFloat();
    ticksToBurst = buffer.ReadInt();
    burstsLeft = buffer.ReadInt();
    flash.Resume(buffer.ReadFloat());
}
