#include "game/Board.h"

#include "app/Random.h"
#include "game/Game.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"
#include "game/support/TextBoard.h"

#include <gtest/gtest.h>

namespace
{
int Converting(const Board& board)
{
    int count = 0;
    for (int i = 0; i < board.pieces.Count(); ++i) {
        const auto* piece = static_cast<const Quorb*>(board.pieces.Get(i));
        count += piece->changing || piece->flying ? 1 : 0;
    }
    return count;
}

std::unique_ptr<Board> SkullBoard()
{
    auto board = TextBoard::Make({"00100", "11011", "22322", "33233", "44544"}, 8);
    board->levelType = LevelType::Skulls;
    board->showPressure = true;
    board->pressurePerMove = 4.0f;
    board->started = true;
    return board;
}
} // namespace

TEST(BoardPressureTest, AFullMeterConvertsOnTheMoveAfterItWasSeenFull)
{
    struct Step {
        float pressure;
        float shown;
        int cascade;
        float after;
        int converting;
    };
    const Step steps[] = {
        {96, 99, 0, 100, 0},  // clamped, and the warning shows
        {100, 100, 0, 0, 1},  // seen full: converts, the rise is lost
        {50, 50, 1, 50, 0},   // only the first match of a chain raises it
        {95, 100, 0, 0, 1},   // 95 counts as full once the display showed 100
        {94.5f, 100, 0, 98.5f, 0},
    };
    for (const Step& step : steps) {
        theRandom->Seed(7);
        auto board = SkullBoard();
        board->pressure = step.pressure;
        board->pressureShown = step.shown;
        board->cascadeLevel = step.cascade;
        board->RaisePressure();
        EXPECT_EQ(board->pressure, step.after) << step.pressure;
        EXPECT_EQ(Converting(*board), step.converting) << step.pressure;
        EXPECT_EQ(board->loseCheckPending, step.converting > 0);
    }
}

TEST(BoardPressureTest, AConversionNeverTakesTheLastMove)
{
    // The three 0s make the only move: none of them may turn.
    auto board = TextBoard::Make({"0010", "2345", "6712"}, 8);
    board->started = true;
    board->conversions = 3;
    board->pressure = 100.0f;
    board->pressureShown = 100.0f;
    board->RaisePressure();
    for (int i = 0; i < board->pieces.Count(); ++i) {
        const auto* piece = static_cast<const Quorb*>(board->pieces.Get(i));
        EXPECT_TRUE(piece->kind != 0 || !piece->changing) << "a 0 at " << piece->pos.x << "," << piece->pos.y;
    }
    EXPECT_GE(Converting(*board), 1);
    EXPECT_EQ(board->pressure, 0.0f);

    auto stuck = TextBoard::Make({"001", "234"}, 8);
    stuck->started = true;
    for (int i = 0; i < stuck->pieces.Count(); ++i) {
        EXPECT_FALSE(stuck->ConvertToSkull(static_cast<Quorb*>(stuck->pieces.Get(i))));
    }
}

// Found by fuzzing saved games: a loaded full-size board with no move and
// many conversions due tried every piece for each of them on every update
// and never came back. Nothing converts, but the board is still checked
// for its loss, as when every try has been made.
TEST(BoardPressureTest, ABoardWithoutAMoveConvertsNothingButIsCheckedForItsLoss)
{
    // The same kind comes back only 8 columns or 8 rows on: no swap lines up 3.
    std::vector<std::string> rows;
    for (int y = 0; y < 10; ++y) {
        std::string row;
        for (int x = 0; x < 12; ++x)
            row += char('0' + (x + 3 * y) % 8);
        rows.push_back(row);
    }
    const struct {
        int conversions;
        bool lossChecked;
    } cases[] = {{120, true}, {1, true}, {0, false}};
    for (const auto& c : cases) {
        theRandom->Seed(7);
        auto board = TextBoard::Make(rows, 8);
        ASSERT_FALSE(board->FindPossibleMove());
        board->started = true;
        board->conversions = c.conversions;
        board->pressure = 100.0f;
        board->pressureShown = 100.0f;
        board->RaisePressure();
        EXPECT_EQ(Converting(*board), 0) << c.conversions;
        EXPECT_EQ(board->pressure, 0.0f) << c.conversions;
        EXPECT_EQ(board->loseCheckPending, c.lossChecked) << c.conversions;
    }
}

TEST(BoardPressureTest, SpeedPressureFillsInTenThousandTicksAndMatchesTakeSomeBack)
{
    QuorbSwapApp app;
    app.gameMode = GameMode::Speed;
    Game game(&app);
    auto board = std::make_unique<Board>(&app, &game);
    game.board = board.get();
    theRandom->Seed(11);
    board->SetupLevel(LevelType::Meter, 0);
    board->started = true;

    int tick = 0;
    while (board->pressure < 100.0f && tick < 20000) {
        board->Update();
        ++tick;
    }
    EXPECT_EQ(tick, 10000);
    EXPECT_EQ(board->pressureShown, 100.0f);
    board->Update();
    EXPECT_EQ(board->pressure, 0.0f) << "converts once the display shows it full";
    EXPECT_EQ(Converting(*board), 1);

    board->pressure = board->pressureShown = 50.0f;
    board->pressureReliefTicks = 150;
    board->UpdateSpeedPressure();
    EXPECT_FLOAT_EQ(board->pressure, 48.51f) << "1.5 back at once, then the tick's rise";
    EXPECT_EQ(board->pressureReliefTicks, 0);
    game.board = nullptr;
}
