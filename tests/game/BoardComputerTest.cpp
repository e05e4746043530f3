#include "game/Board.h"

#include "app/Random.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"
#include "game/WinOverlay.h"

#include <gtest/gtest.h>

namespace
{
class BoardComputerTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        theRandom->Seed(5);
        player = std::make_unique<Board>(&app, &game);
        game.board = player.get();
        player->SetupLevel(LevelType::Duel, 0);
        computer = std::make_unique<Board>(&app, &game);
        game.opponentBoard = computer.get();
        computer->SetupLevel(LevelType::Duel, 0);
    }

    void TearDown() override
    {
        game.board = nullptr;
        game.opponentBoard = nullptr;
    }

    // Ticks until the computer swaps (its pieces start to move).
    int TicksToMove(int limit)
    {
        for (int tick = 1; tick <= limit; ++tick) {
            computer->Update();
            if (computer->movingCount > 0) {
                return tick;
            }
        }
        return -1;
    }

    void Rest()
    {
        while (computer->movingCount > 0 || computer->movesFinished) {
            computer->Update();
        }
    }

    QuorbSwapApp app;
    Game game{&app};
    std::unique_ptr<Board> player;
    std::unique_ptr<Board> computer;
};
} // namespace

TEST_F(BoardComputerTest, FirstMoveAfterThreeHundredCountedTicksThenWithinItsThinkTime)
{
    EXPECT_EQ(computer->aiThinkTime, 300);
    EXPECT_FALSE(player->isComputer);
    EXPECT_EQ(TicksToMove(1000), 300);
    EXPECT_EQ(computer->aiPointer.x, 9999.0f) << "the pointer hides while it moves";
    for (int move = 0; move < 12; ++move) {
        const int think = computer->aiCountdown;
        EXPECT_GE(think, 151);
        EXPECT_LE(think, 449);
        Rest();
        const int ticks = TicksToMove(1000);
        EXPECT_GE(ticks, 1);
        EXPECT_LE(ticks, think) << "counted ticks only while nothing moves";
    }
}

TEST_F(BoardComputerTest, WaitsForTheSlideAndStopsWhenThePlayerWins)
{
    computer->slideOffset = Point(0.0f, 700.0f);
    computer->Update();
    EXPECT_EQ(computer->aiCountdown, 300) << "no thinking while the board slides in";

    computer->slideOffset = Point();
    computer->Update();
    EXPECT_EQ(computer->aiCountdown, 299);
    EXPECT_GE(computer->aiPointer.x, 100.0f) << "the pointer wanders inside the board";
    EXPECT_LE(computer->aiPointer.x, computer->rect.w - 100.0f);

    player->forceWin = true;
    player->CheckGoal();
    ASSERT_NE(player->winOverlay, nullptr);
    EXPECT_EQ(TicksToMove(600), -1);
    EXPECT_EQ(computer->aiCountdown, 299);

    game.board = nullptr;
    computer->Update();
    EXPECT_EQ(computer->aiCountdown, 299) << "no player board, no play";
}
