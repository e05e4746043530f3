// Level set-up: grid size, kinds, meters and goal counters per level type.
#include "app/App.h"
#include "app/Random.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kSkullTries = 1000;

struct Size {
    int width;
    int height;
};

// The per-difficulty rows of a skull level.
struct SkullRow {
    int maxDifficulty;
    Size size;
    int kinds;
    int extraSkulls;
};
constexpr SkullRow kSkullRows[] = {
    {10, {7, 6}, 6, 4}, {30, {8, 7}, 7, 4}, {60, {9, 8}, 8, 5}, {89, {10, 9}, 8, 6}, {100, {11, 10}, 8, 9},
};

struct MatchesRow {
    int maxDifficulty;
    int side;
    int matches;
};
constexpr MatchesRow kMatchesRows[] = {
    {10, 3, 5}, {20, 4, 8}, {30, 5, 10}, {40, 6, 12}, {50, 7, 14},
    {60, 7, 15}, {70, 8, 16}, {99, 8, 17}, {100, 9, 20},
};

template <typename Row, size_t N> const Row& RowFor(const Row (&rows)[N], int d)
{
    for (const Row& row : rows) {
        if (d <= row.maxDifficulty) {
            return row;
        }
    }
    return rows[N - 1];
}
} // namespace

int32_t Board::CurrentLevel() const
{
    return game ? game->level : 1;
}

GameMode Board::CurrentMode() const
{
    return app ? app->gameMode : GameMode::Journey;
}

ProfileProgress* Board::Progress() const
{
    return app ? &app->progress : nullptr;
}

void Board::SetupLevel(LevelType type, int difficulty)
{
    const int d = difficulty;
    const double f = d / 100.0;
    showMeter = false;
    duelMeter = false;
    levelType = type;
    kindCount = 7;
    Size size{8, 8};

    if (CurrentMode() == GameMode::Journey) {
        switch (type) {
        case LevelType::Meter:
            showMeter = true;
            meterValue = meterShown = 0.0f;
            meterMax = 150.0f + static_cast<float>(300.0 * f * f);
            kindCount = d < 10 ? 6 : (d >= 50 ? 8 : 7);
            uncheckedRefillChance = static_cast<float>(0.9f * f);
            break;
        case LevelType::Skulls: {
            const SkullRow& row = RowFor(kSkullRows, d);
            pressure = pressureShown = 0.0f;
            showPressure = true;
            conversions = 1;
            skullCount = d / 20 + row.extraSkulls;
            pressurePerMove = static_cast<float>(d / 10 + 15);
            pressureRelief = static_cast<float>(10 - d / 25);
            if (d >= 70) {
                conversions = 2;
                pressurePerMove *= 0.75f;
            }
            gridOffset = Point(-50.0f, 0.0f);
            size = row.size;
            kindCount = row.kinds;
            break;
        }
        case LevelType::Drain:
            showMeter = true;
            meterMax = 150.0f;
            meterValue = meterShown = 30.0f;
            meterDrain = std::min(static_cast<float>(-0.03 * f), -0.0025f);
            break;
        case LevelType::Matches: {
            if (app) {
                tickLoop.SetSound(app->sndTickTock);
            }
            countdown = countdownStart = kMatchesTicks;
            showMatchesLeft = true;
            showCountdown = true;
            const MatchesRow& row = RowFor(kMatchesRows, d);
            size = {row.side, row.side};
            matchesLeft = row.matches;
            break;
        }
        case LevelType::Collect:
            SetupCollect(d);
            break;
        case LevelType::GoGold:
            size = {d / 15 + 6, d / 15 + 4};
            kindCount = d < 50 ? 6 : (d < 75 ? 7 : 8);
            markThreshold = size.width < 9 ? 1.0f : static_cast<float>(1.0 - 0.5 * f);
            lateUncheckedRefillChance = static_cast<float>(f) * static_cast<float>(f);
            break;
        case LevelType::Surprise:
            break;
        case LevelType::Duel:
            size = {6, 9};
            showMeter = true;
            duelMeter = true;
            meterValue = meterShown = 0.0f;
            meterMax = static_cast<float>(50.0 - 15.0 * f);
            kindCount = d < 30 ? 6 : (d < 60 ? 7 : 8);
            if (game && game->opponentBoard == this) {
                SetupComputer(d, f);
            }
            break;
        }
    }

    const GameMode mode = CurrentMode();
    if (mode == GameMode::Casual || mode == GameMode::Speed) {
        SetupEndless(mode);
    }

    SetSize(size.width, size.height);
    FillInitial(nullptr);
    BuildFrame();
    if (theApp) {
        theApp->ResetTiming();
    }
    movingCount = 0;
}

void Board::SetupCollect(int d)
{
    kindCount = 8;
    pressure = pressureShown = 0.0f;
    showPressure = true;
    pressurePerMove = static_cast<float>(d / 15 + 5);
    pressureRelief = static_cast<float>(-(d / 20));
    pressureOnMoves = false;
    showCollect = true;
    const int wanted = d < 25 ? 4 : (d < 50 ? 3 : (d < 75 ? 2 : 1));
    for (int i = 0; i < wanted; ++i) {
        int kind = theRandom->Get(kindCount);
        while (std::find(collectKinds, collectKinds + i, kind) != collectKinds + i) {
            kind = theRandom->Get(kindCount);
        }
        collectKinds[i] = kind;
        collectCounts[i] = d / 10 + 4;
    }
    PrepareCollectIcons();
}

void Board::SetupComputer(int d, double f)
{
    isComputer = true;
    aiCountdown = 300;
    aiThinkTime = 300 - static_cast<int32_t>(125.0 * f);
    started = true;
    kindCount = d == 100 ? 5 : (d >= 50 ? 6 : 7);
    CoreMouseExit();
    disabled = true;
}

void Board::SetupEndless(GameMode mode)
{
    showMeter = true;
    meterValue = meterShown = 0.0f;
    meterMax = 100.0f;
    showPressure = true;
    pressure = pressureShown = 0.0f;
    pressurePerMove = 5.0f;
    pressureRelief = 10.0f;
    conversions = 1;
    if (mode == GameMode::Speed) {
        pressurePerMove = 0.0f;
        pressurePerTick = 0.01f;
    }
    if (ProfileProgress* progress = Progress()) {
        const bool speed = mode == GameMode::Speed;
        (speed ? progress->speedGamesPlayed : progress->casualGamesPlayed) += 1;
        uint32_t& highest = speed ? progress->highestSpeedLevel : progress->highestCasualLevel;
        highest = std::max(highest, 1u);
    }
}

void Board::SetSize(int width, int height)
{
    gridWidth = width;
    gridHeight = height;
    const float byWidth = std::trunc((rect.w - 80.0f) / static_cast<float>(width));
    const float byHeight = std::trunc((rect.h - 80.0f) / static_cast<float>(height));
    cellSize = std::min(byWidth, byHeight);
    const float w = static_cast<float>(width) * cellSize;
    const float h = static_cast<float>(height) * cellSize;
    gridRect = Rect(rect.w / 2.0f - w / 2.0f + gridOffset.x, rect.h / 2.0f - h / 2.0f + gridOffset.y, w, h);
    cellEnabled.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 1);
    cellMarked.clear();
    if (levelType == LevelType::GoGold) {
        cellMarked.assign(cellEnabled.size(), 0);
    }
    PreparePieceArt();
}

void Board::PlaceLevelSkulls()
{
    if (levelType == LevelType::Skulls) {
        PlaceSkulls();
    }
}

void Board::PlaceSkulls()
{
    for (int skull = 0; skull < skullCount; ++skull) {
        for (int tries = 0; tries < kSkullTries && pieces.Count() > 0; ++tries) {
            auto* piece = static_cast<Quorb*>(pieces.Get(theRandom->Get(pieces.Count())));
            if (piece->IsMatchable() && ConvertToSkull(piece)) {
                piece->levelSkull = true;
                break;
            }
        }
    }
}
