// A whole journey, headless: the map walked square by square to the goal
// through clicks on the real input queue, every level won by force, the
// journey saved and resumed on the way, and the final win screen at the end.
#include "app/Random.h"
#include "game/Game.h"
#include "game/Map.h"
#include "game/SuperWin.h"
#include "game/TitleScreen.h"
#include "support/GameAppHarness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

enum class Phase { Loading, OnMap, InLevel, Resuming, AtGoal, Done };

bool MapIsIdle(QuorbSwapApp& app)
{
    Game* game = app.game;
    if (game == nullptr || game->map == nullptr || game->board != nullptr || app.transition != nullptr)
        return false;
    Map& map = *game->map;
    return map.parent == game && map.revealQueue.empty() && map.items.Count() == 0 && !map.disabled;
}

// The open square to play next: the goal once it is open, otherwise the
// open level square nearest to it.
bool NextSquare(Map& map, int& nx, int& ny)
{
    int gx = 0, gy = 0;
    for (int i = 0; i < kMapSquareCount; ++i)
        if (map.squares[i].isGoal) {
            gx = i / kMapSize;
            gy = i % kMapSize;
        }
    if (!map.Square(gx, gy).locked) {
        nx = gx;
        ny = gy;
        return true;
    }
    int best = 1000;
    for (int x = 0; x < kMapSize; ++x)
        for (int y = 0; y < kMapSize; ++y) {
            const MapSquare& s = map.Square(x, y);
            const int d = (x - gx) * (x - gx) + (y - gy) * (y - gy);
            if (!s.locked && !s.won && s.type < 8 && d < best) {
                best = d;
                nx = x;
                ny = y;
            }
        }
    return best < 1000;
}

void ClickSquare(ScriptedQuorbSwapApp& app, int x, int y)
{
    app.input.Click(190 + 55 * x + 27, 68 + 53 * y + 26);
}

} // namespace

TEST(MapJourney, WalkedToTheGoalSavedAndResumedOnTheWay)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = 60000;
    Phase phase = Phase::Loading;
    int levelsWon = 0;
    int clicksWaiting = 0;
    std::vector<uint8_t> savedSquares;
    bool resumed = false;
    int ownedAtGoal = 0;
    app.everyUpdate = [&] {
        switch (phase) {
        case Phase::Loading:
            if (app.loading || app.titleScreen == nullptr)
                return;
            for (uint8_t& shown : app.progress.tutorialShown)
                shown = 1;
            theRandom->Seed(2024);
            app.gameMode = GameMode::Journey;
            app.difficulty = Difficulty::Normal;
            app.resumeGame = false;
            app.GoToGame(false);
            phase = Phase::OnMap;
            return;
        case Phase::OnMap: {
            if (!MapIsIdle(app))
                return;
            Map& map = *app.game->map;
            if (levelsWon == 3 && !resumed) {
                savedSquares.assign(reinterpret_cast<uint8_t*>(map.squares),
                                    reinterpret_cast<uint8_t*>(map.squares) + sizeof map.squares);
                app.GoToMainMenu(false);
                app.resumeGame = true;
                app.GoToGame(false);
                phase = Phase::Resuming;
                return;
            }
            int x = -1, y = -1;
            ASSERT_TRUE(NextSquare(map, x, y));
            ClickSquare(app, x, y);
            phase = map.Square(x, y).isGoal ? Phase::AtGoal : Phase::InLevel;
            clicksWaiting = 0;
            return;
        }
        case Phase::InLevel:
            // A click that a busy map refused is sent again.
            if (app.game->board == nullptr && app.transition == nullptr && ++clicksWaiting > 50) {
                phase = Phase::OnMap;
                return;
            }
            if (app.game->board == nullptr || app.transition != nullptr)
                return;
            app.game->OnLevelWon();
            ++levelsWon;
            phase = Phase::OnMap;
            return;
        case Phase::Resuming:
            if (!MapIsIdle(app))
                return;
            resumed = true;
            EXPECT_EQ(0, std::memcmp(savedSquares.data(), app.game->map->squares, savedSquares.size()))
                << "the resumed map is the saved one";
            EXPECT_EQ(app.game->level, 4);
            phase = Phase::OnMap;
            return;
        case Phase::AtGoal:
            if (app.superWin == nullptr)
                return;
            for (const JigsawPieceRecord& r : app.progress.pieces)
                ownedAtGoal += r.owned;
            phase = Phase::Done;
            app.Quit();
            return;
        case Phase::Done:
            return;
        }
    };
    harness.RunAndClose();
    EXPECT_TRUE(resumed);
    EXPECT_EQ(phase, Phase::Done);
    EXPECT_GE(levelsWon, 4);
    // The reward pieces all landed before the final win screen started.
    EXPECT_GE(ownedAtGoal, 3);
}
