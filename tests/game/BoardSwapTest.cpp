// Selecting, dragging and swapping pieces; swaps that make no line go back.
#include "game/support/TextBoard.h"

#include "app/Random.h"
#include "game/Quorb.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kNoLines = {
    "0123",
    "1230",
    "2301",
    "3012",
};

// The screen point over cell (x, y), in whole pixels as the mouse gives it.
void PressCell(Board& board, int x, int y)
{
    const float half = board.cellSize / 2.0f;
    board.OnMouseDown(static_cast<int>(board.gridRect.x + static_cast<float>(x) * board.cellSize + half),
                      static_cast<int>(board.gridRect.y + static_cast<float>(y) * board.cellSize + half), 0);
}

} // namespace

TEST(BoardSwapTest, SwapTakes45TicksAndOneWithoutALineGoesBack)
{
    auto board = TextBoard::Make(kNoLines);
    theRandom->Seed(7);
    ASSERT_TRUE(TextBoard::Swap(*board, 0, 0, 1, 0));
    EXPECT_EQ(TextBoard::Dump(*board)[0], "1023");
    for (int tick = 0; tick < 44; tick++)
        board->Update();
    EXPECT_EQ(board->movingCount, 2);
    EXPECT_EQ(TextBoard::Dump(*board)[0], "1023");
    board->Update(); // the swap ends and the swap back starts at once
    EXPECT_EQ(board->movingCount, 2);
    EXPECT_EQ(TextBoard::Dump(*board), kNoLines);
    EXPECT_EQ(board->cascadeLevel, 1);
    EXPECT_EQ(TextBoard::RunUntilRest(*board), 45);
    EXPECT_EQ(TextBoard::Dump(*board), kNoLines);
    EXPECT_EQ(board->levelScore, 0);
    EXPECT_EQ(board->cascadeLevel, 1) << "a pass with no line and no swap changes nothing";
}

TEST(BoardSwapTest, NeighbourRuleRefusesWhatIsNotAnAdjacentPiece)
{
    auto board = TextBoard::Make({"01.", "23#"});
    struct Case
    {
        int x1, y1, x2, y2;
        bool swaps;
    } cases[] = {
        {0, 0, 1, 0, true},  {0, 0, 0, 1, true}, {0, 0, 1, 1, false}, // diagonal
        {1, 0, 2, 0, false},                                          // towards an empty cell
        {1, 1, 2, 1, false},                                          // towards a disabled cell
        {0, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        auto fresh = TextBoard::Make({"01.", "23#"});
        EXPECT_EQ(TextBoard::Swap(*fresh, c.x1, c.y1, c.x2, c.y2), c.swaps) << c.x1 << c.y1 << c.x2 << c.y2;
        EXPECT_TRUE(fresh->started);
    }
}

TEST(BoardSwapTest, DragThresholdsAndDominantAxis)
{
    struct Case
    {
        int dx, dy;
        const char* row0; // the first two rows after the drag
        const char* row1;
    } cases[] = {
        {3, 0, "0123", "1230"},  // exactly 3 pixels: nothing
        {0, -3, "0123", "1230"}, //
        {2, 2, "0123", "1230"},  // 2.8 pixels
        {3, 3, "0123", "1230"},  // a diagonal is no neighbour
        {-4, 4, "0123", "1230"}, //
        {3, 1, "0213", "1230"},  // just over 3: along x
        {4, 3, "0213", "1230"},  //
        {3, 4, "0223", "1130"},  // along y
        {-4, -1, "1023", "1230"},
    };
    for (const Case& c : cases) {
        auto board = TextBoard::Make(kNoLines);
        PressCell(*board, 1, 0);
        ASSERT_NE(board->selected, nullptr);
        const Point press = board->pressPoint;
        board->OnMouseMove(static_cast<int>(press.x) + c.dx, static_cast<int>(press.y) + c.dy);
        const auto rows = TextBoard::Dump(*board);
        EXPECT_EQ(rows[0], c.row0) << c.dx << "," << c.dy;
        EXPECT_EQ(rows[1], c.row1) << c.dx << "," << c.dy;
        const bool swapped = rows[0] != "0123" || rows[1] != "1230";
        EXPECT_EQ(board->pressed, !swapped) << "a refused drag keeps the press for another try";
        EXPECT_EQ(board->selected == nullptr, swapped);
    }
}

TEST(BoardSwapTest, PressesSelectSwapAndWaitForMovingPieces)
{
    auto board = TextBoard::Make(kNoLines);
    PressCell(*board, 1, 1);
    Quorb* first = board->selected;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(board->pieces.Get(board->pieces.Count() - 1), first) << "the selection is drawn on top";
    board->OnMouseUp(0, 0, 0);
    PressCell(*board, 1, 1);
    EXPECT_EQ(board->selected, first) << "pressing the selection again keeps it";
    PressCell(*board, 3, 3);
    EXPECT_NE(board->selected, first) << "a piece that is no neighbour is selected instead";
    PressCell(*board, 3, 2);
    EXPECT_EQ(board->selected, nullptr);
    EXPECT_GT(board->movingCount, 0);

    board->cascadeLevel = 3;
    PressCell(*board, 0, 0);
    EXPECT_EQ(board->selected, nullptr) << "a press while pieces move does nothing";
    EXPECT_EQ(board->cascadeLevel, 3);
}
