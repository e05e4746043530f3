// Board construction, its buttons and its end.
#include "game/support/TextBoard.h"

#include "app/Random.h"
#include "game/Game.h"
#include "game/LevelupOverlay.h"
#include "game/LoseOverlay.h"
#include "game/QuorbSwapApp.h"
#include "game/ReadyOverlay.h"
#include "game/WinOverlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

template <typename Overlay, typename... Args>
void ExpectOverlayOutlivesBoard(Overlay* Board::*slot, Args... args)
{
    auto board = TextBoard::Make({"012"});
    auto* overlay = new Overlay(board.get(), args...);
    board.get()->*slot = overlay;
    board.reset();
    EXPECT_EQ(overlay->board, nullptr);
    EXPECT_TRUE(overlay->killed);
    delete overlay; // must not reach back into the deleted board
}

} // namespace

TEST(BoardTest, OverlaysLoseTheirBoardWhenItGoes)
{
    ExpectOverlayOutlivesBoard(&Board::readyOverlay);
    ExpectOverlayOutlivesBoard(&Board::winOverlay);
    ExpectOverlayOutlivesBoard(&Board::loseOverlay, LoseReason::NoMoves);
    ExpectOverlayOutlivesBoard(&Board::levelupOverlay);
}

TEST(BoardTest, ButtonsSpendPowersAndPayForHints)
{
    QuorbSwapApp app;
    Game game{&app};
    using Slots = std::array<int32_t, kPowerSlotCount>;
    const int32_t skip = static_cast<int32_t>(PowerKind::SkipLevel);
    const int32_t hint = static_cast<int32_t>(PowerKind::Hint);
    struct Case
    {
        const char* what;
        Slots before;
        bool pressSkip;
        Slots after;
        float meterAfter; // from 10
    } cases[] = {
        {"skip uses the first skip power",
         {1, skip, 2, skip, -1, -1, -1, -1, -1, -1},
         true,
         {1, 2, skip, -1, -1, -1, -1, -1, -1, -1},
         10.0f},
        {"skip with none left keeps the slots",
         {1, 2, 3, 6, 0, 1, 2, 3, 6, 0},
         true,
         {1, 2, 3, 6, 0, 1, 2, 3, 6, 0},
         10.0f},
        {"a hint without a hint power costs a fifth of the meter",
         {1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
         false,
         {1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
         8.0f},
        {"a hint power makes it free and stays",
         {hint, -1, -1, -1, -1, -1, -1, -1, -1, -1},
         false,
         {hint, -1, -1, -1, -1, -1, -1, -1, -1, -1},
         10.0f},
    };
    for (const Case& c : cases) {
        Board board(&app, &game);
        board.levelType = LevelType::Surprise;
        board.showMeter = true;
        board.meterValue = 10.0f;
        board.meterMax = 100.0f;
        std::copy(c.before.begin(), c.before.end(), game.powerSlots);
        board.Notify(c.pressSkip ? &board.skipButton : &board.hintButton);
        EXPECT_TRUE(std::equal(c.after.begin(), c.after.end(), game.powerSlots)) << c.what;
        EXPECT_FLOAT_EQ(board.meterValue, c.meterAfter) << c.what;
        EXPECT_EQ(board.forceWin, c.pressSkip) << c.what;
    }
}

TEST(BoardTest, HintOnAGoldLevelUnmarksThreeCells)
{
    auto board = TextBoard::Make({"0102", "1213", "3434"});
    board->levelType = LevelType::GoGold;
    board->cellMarked.assign(12, 1);
    theRandom->Seed(21);
    board->Notify(&board->hintButton);
    EXPECT_EQ(std::count(board->cellMarked.begin(), board->cellMarked.end(), 0), 3);
    EXPECT_TRUE(board->hintShown);
    EXPECT_FLOAT_EQ(board->hintAlpha, 0.0f);
}

TEST(BoardTest, StartSlidesInFromASideUnlessDemonstrating)
{
    struct Case
    {
        bool demo;
        bool slides;
    } cases[] = {{false, true}, {true, false}};
    for (const Case& c : cases) {
        for (uint32_t seed = 1; seed <= 8; seed++) {
            auto board = TextBoard::Make({"012"});
            board->demoMode = c.demo;
            theRandom->Seed(seed);
            board->Initialize();
            EXPECT_FLOAT_EQ(board->slideOffset.y, 0.0f);
            EXPECT_EQ(std::abs(board->slideOffset.x) == board->rect.w + 200.0f, c.slides) << seed;
            EXPECT_EQ(board->readyOverlay, nullptr) << "no game to show it in";
        }
    }
}
