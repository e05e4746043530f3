// Goal checks, level-up and loss.
#include "app/List.h"
#include "app/Math.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/LevelupOverlay.h"
#include "game/LoseOverlay.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"
#include "game/WinOverlay.h"

#include <algorithm>
#include <limits>

namespace
{
constexpr int kMaxKinds = 8;
constexpr int kMaxConversions = 4;

// A value that grows with every level, held finite: a save cannot hold an
// infinity.
float Grown(float value, float factor)
{
    return std::min(value * factor, std::numeric_limits<float>::max());
}

bool IsEndless(GameMode mode)
{
    return mode == GameMode::Casual || mode == GameMode::Speed;
}
} // namespace

bool Board::HasMeterGoal() const
{
    const bool meterLevel =
        levelType == LevelType::Meter || levelType == LevelType::Drain || levelType == LevelType::Duel;
    return !isComputer && (meterLevel || IsEndless(CurrentMode()));
}

bool Board::MeterGoalWaiting() const
{
    return HasMeterGoal() && !forceWin && meterValue >= meterMax && meterShown < meterMax;
}

void Board::SettleWhenMeterShown()
{
    if (goalCheckPending && movingCount == 0 && !movesFinished && HasMeterGoal() && meterShown >= meterMax) {
        movingCount += 1;
        PieceMoveDone();
    }
}

void Board::CheckGoal()
{
    if (demoMode) {
        return;
    }
    goalCheckPending = false;
    // The computer's board never wins by itself: its full meter is checked
    // as the player's loss.
    if (isComputer || winOverlay) {
        return;
    }
    if (MeterGoalWaiting()) {
        goalCheckPending = true;
        return;
    }
    const GameMode mode = CurrentMode();
    if (IsEndless(mode)) {
        if (meterShown >= meterMax) {
            LevelUp(mode);
        }
        return;
    }

    bool won = forceWin;
    switch (levelType) {
    case LevelType::Meter:
    case LevelType::Drain:
    case LevelType::Duel:
        won = won || meterShown == meterMax;
        break;
    case LevelType::Skulls: {
        bool skullLeft = false;
        for (int i = 0; i < pieces.Count(); ++i) {
            const auto* piece = static_cast<const Quorb*>(pieces.Get(i));
            skullLeft = skullLeft || (!piece->killed && piece->skull);
        }
        won = won || !skullLeft;
        break;
    }
    case LevelType::Matches:
        won = won || matchesLeft <= 0;
        if (won) {
            tickLoop.Stop();
        }
        break;
    case LevelType::Collect: {
        int left = 0;
        for (int count : collectCounts) {
            left += std::max(count, 0);
        }
        won = won || left == 0;
        break;
    }
    case LevelType::GoGold: {
        float enabled = 0.0f;
        float marked = 0.0f;
        for (int y = 0; y < gridHeight; ++y) {
            for (int x = 0; x < gridWidth; ++x) {
                const size_t index = static_cast<size_t>(y * gridWidth + x);
                const bool on = IsCellEnabled(x, y);
                enabled += on ? 1.0f : 0.0f;
                marked += on && index < cellMarked.size() && cellMarked[index] ? 1.0f : 0.0f;
            }
        }
        won = won || marked == enabled;
        if (enabled > 0.0f && marked / enabled > markThreshold) {
            uncheckedRefillChance = lateUncheckedRefillChance;
        }
        break;
    }
    default:
        return;
    }
    if (!won) {
        return;
    }
    winOverlay = new WinOverlay(this);
    if (levelType == LevelType::Duel && game) {
        game->AddChild(winOverlay);
    } else {
        AddChild(winOverlay);
    }
}

void Board::LevelUp(GameMode mode)
{
    meterValue = 0.0f;
    int32_t level = Math::AddSaturated(CurrentLevel(), 1);
    if (game) {
        game->level = level;
    }
    if (ProfileProgress* progress = Progress()) {
        uint32_t& highest = mode == GameMode::Speed ? progress->highestSpeedLevel : progress->highestCasualLevel;
        highest = std::max(highest, static_cast<uint32_t>(level));
    }
    meterMax = Grown(meterMax, level <= 3 ? 1.5f : (level <= 6 ? 1.25f : 1.1f));
    pressure = 0.0f;
    if (mode == GameMode::Speed) {
        pressurePerTick = Grown(pressurePerTick, level <= 4 ? 2.0f : 1.5f);
    } else {
        pressurePerMove = Grown(pressurePerMove, level <= 4 ? 1.5f : 1.25f);
    }
    pressureRelief *= 0.95f;
    if (level > 2) {
        kindCount = std::min(kindCount + 1, kMaxKinds);
    }
    if (level >= 6 && level % 3 == 0) {
        conversions = std::min(conversions + 1, kMaxConversions);
    }
    levelupOverlay = new LevelupOverlay(this);
    AddChild(levelupOverlay);
}

void Board::CheckLose()
{
    // A demonstration never loses (it would delete the real save), and the
    // computer's own board has no loss of its own to show the player.
    if (demoMode || isComputer || !IsUncovered() || MeterGoalWaiting()) {
        return;
    }
    // The computer plays from the moment the level opens: its full meter ends
    // a duel before the player's first swap too.
    if (!started && !OpponentMeterFull()) {
        return;
    }
    loseCheckPending = false;
    if (!FindPossibleMove() && !FindMatches()) {
        EndLostEndlessGame();
        OpenLoseOverlay(LoseReason::NoMoves, false);
    } else if (levelType == LevelType::Matches && countdown <= 0) {
        OpenLoseOverlay(LoseReason::OutOfTime, false);
    } else if (OpponentMeterFull()) {
        OpenLoseOverlay(LoseReason::OpponentWon, true);
    }
}

bool Board::OpponentMeterFull() const
{
    if (levelType != LevelType::Duel || !game || game->board != this || !game->opponentBoard) {
        return false;
    }
    const Board* opponent = game->opponentBoard;
    return opponent->meterValue == opponent->meterMax;
}

void Board::EndLostEndlessGame()
{
    if (game && IsEndless(CurrentMode())) {
        game->deleteSave = 1;
    }
}

void Board::LoseOnDrain()
{
    if (demoMode || levelType != LevelType::Drain || loseOverlay) {
        return;
    }
    OpenLoseOverlay(LoseReason::MeterDrained, false);
}

void Board::OpenLoseOverlay(LoseReason reason, bool overGame)
{
    // The countdown's ticking ends with the level, whatever lost it.
    tickLoop.Stop();
    loseOverlay = new LoseOverlay(this, reason);
    if (overGame && game) {
        game->AddChild(loseOverlay);
    } else {
        AddChild(loseOverlay);
    }
    // It takes every click: the Menu button leaves the screen (PlaceButtons
    // keeps it away on a restored board).
    menuButton.SetRect(-9999.0f, -9999.0f, 10.0f, 10.0f);
}

void Board::ChangeAllToSkulls()
{
    List order;
    for (int i = 0; i < pieces.Count(); ++i) {
        order.Add(pieces.Get(i));
    }
    order.Shuffle();
    int delay = 0;
    int step = 25;
    for (int i = 0; i < order.Count(); ++i) {
        static_cast<Quorb*>(order.Get(i))->StartChange(delay);
        delay += step;
        step = std::max(step - 2, 2);
    }
}
