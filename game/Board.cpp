// Board construction, destruction, buttons and small queries.
#include "game/Board.h"

#include "app/Random.h"
#include "game/Game.h"
#include "game/LevelupOverlay.h"
#include "game/LoseOverlay.h"
#include "game/QuorbSwapApp.h"
#include "game/ReadyOverlay.h"
#include "game/WinOverlay.h"

Board::Board(QuorbSwapApp* app, Game* game) : app(app), game(game)
{
    if (app != nullptr) {
        meterLoop.SetSound(app->sndQuorbMeter);
        meterLoop.SetVolume(0.0f);
        meterLoop.Start();
        warningLoop.SetSound(app->sndWarningLoop);
        warningLoop.SetVolume(0.0f);
    }
    SetFullScreen();
    // Without a graphics device the logical screen is still the game's.
    if (rect.w <= 0.0f || rect.h <= 0.0f)
        SetRect(Rect(0.0f, 0.0f, static_cast<float>(kScreenWidth), static_cast<float>(kScreenHeight)));
}

namespace {

// The overlay outlives the board by a tick or more in its manager: it must
// not reach back into it.
template <typename Overlay> void DropOverlay(Overlay*& overlay)
{
    if (overlay == nullptr)
        return;
    overlay->board = nullptr;
    overlay->Kill();
    overlay = nullptr;
}

} // namespace

Board::~Board()
{
    pieces.DeleteAll();
    effects.DeleteAll();
    popups.DeleteAll();
    explosions.clear();
    frameDecorations.clear();
    cellEnabled.clear();
    cellMarked.clear();
    DropOverlay(readyOverlay);
    DropOverlay(winOverlay);
    DropOverlay(loseOverlay);
    DropOverlay(levelupOverlay);
    meterLoop.Stop();
    warningLoop.Stop();
    tickLoop.Stop();
    // The buttons are members: they leave the child list before they go.
    RemoveChild(&hintButton);
    RemoveChild(&skipButton);
    RemoveChild(&menuButton);
}

void Board::Initialize()
{
    const bool resuming = app != nullptr && app->resumeGame;
    if (demoMode || resuming)
        return;
    theRandom->Get(4); // drawn and not used: the draw order depends on it
    const bool journey = app == nullptr || app->gameMode == GameMode::Journey;
    const bool opponent = game != nullptr && game->opponentBoard == this;
    int direction;
    if (levelType == LevelType::Duel && journey)
        direction = opponent ? 0 : 1;
    else
        direction = 2 + theRandom->Get(2);
    const float width = rect.w + 200.0f;
    const float height = rect.h + 200.0f;
    switch (direction) {
    case 0:
        slideOffset = Point(0.0f, height);
        break;
    case 1:
        slideOffset = Point(0.0f, -height);
        break;
    case 2:
        slideOffset = Point(width, 0.0f);
        break;
    default:
        slideOffset = Point(-width, 0.0f);
        break;
    }
    if (showReadyOverlay && !opponent && game != nullptr) {
        readyOverlay = new ReadyOverlay(this);
        game->AddChild(readyOverlay);
    }
    showReadyOverlay = false;
}

void Board::Notify(Object* sender)
{
    if (sender == &menuButton) {
        if (game != nullptr)
            game->OpenPopupMenu();
    } else if (sender == &hintButton) {
        ShowHint();
        const bool hintPower =
            game != nullptr && game->CountPowerSlots(static_cast<int>(PowerKind::Hint)) != 0;
        if (hintPower)
            return;
        if (showMeter)
            meterValue *= 0.8f;
        if (showPressure) {
            cascadeLevel = 0;
            RaisePressure();
            RaisePressure();
        }
        if (levelType == LevelType::GoGold && !cellMarked.empty()) {
            for (int price = 0; price < 3; price++) {
                for (int attempt = 0; attempt < 9999; attempt++) {
                    const int column = theRandom->Get(gridWidth);
                    const int row = theRandom->Get(gridHeight);
                    uint8_t& mark = cellMarked[static_cast<size_t>(row * gridWidth + column)];
                    if (mark != 0) {
                        mark = 0;
                        break;
                    }
                }
            }
        }
    } else if (sender == &skipButton) {
        forceWin = true;
        CheckGoal();
        if (game == nullptr)
            return;
        int32_t* slots = game->powerSlots;
        for (int i = 0; i < kPowerSlotCount; i++) {
            if (slots[i] != static_cast<int32_t>(PowerKind::SkipLevel))
                continue;
            for (int j = i; j + 1 < kPowerSlotCount; j++)
                slots[j] = slots[j + 1];
            slots[kPowerSlotCount - 1] = kNoPower;
            break;
        }
    }
}

void Board::PauseSounds(bool paused)
{
    for (AudioLooper* loop : {&meterLoop, &warningLoop, &tickLoop}) {
        if (paused)
            loop->Pause();
        else
            loop->Resume();
    }
}

bool Board::IsCellEnabled(int x, int y) const
{
    if (x < 0 || y < 0 || x >= gridWidth || y >= gridHeight)
        return false;
    const size_t index = static_cast<size_t>(y * gridWidth + x);
    return index < cellEnabled.size() && cellEnabled[index] != 0;
}

void Board::PieceMoveDone()
{
    movingCount--;
    if (movingCount == 0)
        movesFinished = true;
    if (movingCount < 0)
        movingCount = 0;
}

bool Board::IsPlaying() const
{
    return IsUncovered() && started;
}

bool Board::IsUncovered() const
{
    return readyOverlay == nullptr && winOverlay == nullptr && loseOverlay == nullptr && levelupOverlay == nullptr;
}
