// Gravity, new pieces, the strict refill's bound and the hole repair.
#include "game/support/TextBoard.h"

#include "app/Random.h"
#include "game/Quorb.h"

#include <gtest/gtest.h>

namespace {

int CountHoles(const Board& board)
{
    int holes = 0;
    for (const std::string& row : TextBoard::Dump(board))
        holes += static_cast<int>(std::count(row.begin(), row.end(), '.'));
    return holes;
}

} // namespace

TEST(BoardRefillTest, PiecesFallToTheGapAndNewOnesStackAboveIt)
{
    // Column 0: a piece above a disabled cell stays; the hole below it is
    // filled by the piece above the hole, and new pieces enter under the gap.
    auto board = TextBoard::Make({
        "1234",
        "#.56",
        ".123",
        "2456",
        ".603",
    });
    board->strictRefill = false;
    Quorb* topPiece = TextBoard::PieceIn(*board, 0, 0);
    Quorb* lowPiece = TextBoard::PieceIn(*board, 0, 3);
    Quorb* above = TextBoard::PieceIn(*board, 1, 0);
    theRandom->Seed(2);
    board->Refill();
    EXPECT_EQ(CountHoles(*board), 0);
    EXPECT_EQ(TextBoard::Dump(*board)[1][0], '#');
    EXPECT_EQ(TextBoard::PieceIn(*board, 0, 0), topPiece) << "nothing falls through a disabled cell";
    EXPECT_EQ(TextBoard::PieceIn(*board, 0, 4), lowPiece);
    EXPECT_EQ(TextBoard::PieceIn(*board, 1, 1), above);
    EXPECT_FLOAT_EQ(lowPiece->drawOffset.y, -board->cellSize);
    struct Case
    {
        int x, y;
        float cellsAbove; // where the new piece starts falling from
    } cases[] = {
        {0, 3, 2.0f}, // rows 3 and 2 up to the gap
        {0, 2, 2.0f}, // row 2, plus one new piece below it
        {1, 0, 1.0f}, // the top row
    };
    for (const Case& c : cases) {
        Quorb* piece = TextBoard::PieceIn(*board, c.x, c.y);
        ASSERT_NE(piece, nullptr);
        EXPECT_TRUE(piece->falling);
        EXPECT_FLOAT_EQ(piece->drawOffset.y, -c.cellsAbove * board->cellSize) << c.x << "," << c.y;
        EXPECT_EQ(piece->pendingMoves, 1);
    }
    EXPECT_TRUE(board->matchingArmed);
    EXPECT_TRUE(board->loseCheckPending);
    ASSERT_GT(TextBoard::RunUntilRest(*board), 0);
    EXPECT_EQ(board->movingCount, 0);
}

TEST(BoardRefillTest, FallTimingRestartsSpeedOnEveryCell)
{
    auto board = TextBoard::Make({"1", "."});
    Quorb* piece = TextBoard::PieceIn(*board, 0, 0);
    piece->StartFall();
    int ticks = 0;
    while (piece->falling) {
        piece->Update();
        ticks++;
    }
    // Speeds 0, 0.25, 0.5, ... add up to a cell of cellSize pixels.
    float travelled = 0.0f;
    int expected = 0;
    for (float speed = 0.0f; travelled < board->cellSize; speed += 0.25f, expected++)
        travelled += speed;
    EXPECT_EQ(ticks, expected);
    EXPECT_EQ(board->movingCount, 0);
    EXPECT_TRUE(board->movesFinished);
}

TEST(BoardRefillTest, StrictRefillStopsOnBoardsWithNoMoveToFind)
{
    // Two kinds on boards too small for a line: no colouring gives a move.
    const std::vector<std::vector<std::string>> boards = {
        {"..", ".."}, // every cell new: no candidate to copy from
        {"..", "01"},
        {".x", "xX"},
    };
    for (const auto& rows : boards) {
        auto board = TextBoard::Make(rows, 2);
        theRandom->Seed(9);
        board->Refill();
        EXPECT_EQ(CountHoles(*board), 0) << rows[0] << rows[1];
        EXPECT_FALSE(board->refillCheckActive);
    }
}

TEST(BoardRefillTest, RefillNeverCompletesALineWhenAvoidingThem)
{
    for (uint32_t seed = 1; seed <= 40; seed++) {
        auto board = TextBoard::Make({"....", "....", "0011", "1100"}, 3);
        board->strictRefill = false;
        theRandom->Seed(seed);
        board->Refill();
        EXPECT_FALSE(board->FindMatches()) << seed;
    }
}

TEST(BoardRefillTest, HolesAreRepairedTenTicksAfterTheLastExplosion)
{
    auto board = TextBoard::Make({"012", "3.4", "501"});
    board->repairCountdown = 10;
    theRandom->Seed(4);
    for (int tick = 0; tick < 9; tick++)
        board->Update();
    EXPECT_EQ(CountHoles(*board), 1);
    board->Update();
    EXPECT_EQ(board->repairCountdown, -1);
    EXPECT_EQ(CountHoles(*board), 0);
    EXPECT_GT(board->movingCount, 0);

    auto busy = TextBoard::Make({"012", "3.4", "501"});
    busy->repairCountdown = 1;
    busy->movingCount = 1; // something still moves: try again 10 ticks later
    busy->Update();
    EXPECT_EQ(busy->repairCountdown, 10);
    EXPECT_EQ(CountHoles(*busy), 1);
}

TEST(BoardRefillTest, FirstFillHasNoLineAndAMove)
{
    struct Case
    {
        int width, height, kinds;
    } cases[] = {{3, 3, 5}, {8, 8, 7}, {12, 10, 8}, {6, 4, 6}};
    for (const Case& c : cases) {
        std::vector<std::string> rows(static_cast<size_t>(c.height),
                                      std::string(static_cast<size_t>(c.width), '.'));
        auto board = TextBoard::Make(rows, c.kinds);
        theRandom->Seed(static_cast<uint32_t>(c.width * 100 + c.height));
        std::vector<Quorb*> made;
        board->FillInitial(&made);
        EXPECT_EQ(static_cast<int>(made.size()), c.width * c.height);
        EXPECT_FALSE(board->FindMatches()) << c.width << "x" << c.height;
        EXPECT_TRUE(board->FindPossibleMove()) << c.width << "x" << c.height;
    }
}
