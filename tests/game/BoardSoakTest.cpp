// Seeded boards of every size and kind count played by random swaps: after
// every settle the board must be whole, still and free of ready lines.
#include "game/support/TextBoard.h"

#include "app/Random.h"
#include "game/Quorb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

constexpr int kSwapsPerBoard = 1000;

std::string CheckWhole(Board& board)
{
    int cells = 0;
    for (int y = 0; y < board.gridHeight; y++) {
        for (int x = 0; x < board.gridWidth; x++) {
            if (!board.IsCellEnabled(x, y))
                continue;
            cells++;
            if (TextBoard::PieceIn(board, x, y) == nullptr)
                return "empty cell " + std::to_string(x) + "," + std::to_string(y);
        }
    }
    int live = 0;
    for (int i = 0; i < board.pieces.Count(); i++) {
        const auto* piece = static_cast<const Quorb*>(board.pieces.Get(i));
        if (piece->killed)
            continue;
        live++;
        const float cx = (piece->pos.x - board.cellSize / 2.0f) / board.cellSize;
        const float cy = (piece->pos.y - board.cellSize / 2.0f) / board.cellSize;
        const int x = static_cast<int>(std::lround(cx));
        const int y = static_cast<int>(std::lround(cy));
        if (std::fabs(cx - static_cast<float>(x)) > 1e-3f || std::fabs(cy - static_cast<float>(y)) > 1e-3f ||
            !board.IsCellEnabled(x, y))
            return "piece outside the grid";
        if (piece->drawOffset.x != 0.0f || piece->drawOffset.y != 0.0f)
            return "piece still drawn away from its cell";
    }
    if (live != cells)
        return "pieces " + std::to_string(live) + " for " + std::to_string(cells) + " cells";
    if (board.movingCount != 0)
        return "moving count " + std::to_string(board.movingCount);
    if (board.FindMatches())
        return "a ready line left";
    return {};
}

} // namespace

TEST(BoardSoakTest, RandomSwapsLeaveEveryBoardWholeAndStill)
{
    struct Shape
    {
        int width, height, kinds;
        bool holes; // some disabled cells
    };
    std::vector<Shape> shapes;
    for (int width = 3; width <= 12; width++) {
        for (int kinds = 5; kinds <= 8; kinds++) {
            const int height = 3 + (width * 3 + kinds) % 8; // every height 3..10 comes up
            shapes.push_back({width, height, kinds, (width + kinds) % 3 == 0});
        }
    }
    std::mt19937 picker(1234);
    for (size_t s = 0; s < shapes.size(); s++) {
        const Shape& shape = shapes[s];
        std::vector<std::string> rows(static_cast<size_t>(shape.height),
                                      std::string(static_cast<size_t>(shape.width), '.'));
        if (shape.holes && shape.width > 3 && shape.height > 3) {
            rows[1][1] = '#';
            rows[static_cast<size_t>(shape.height) - 1][static_cast<size_t>(shape.width) - 2] = '#';
        }
        auto board = TextBoard::Make(rows, shape.kinds);
        theRandom->Seed(static_cast<uint32_t>(1000 + s));
        board->FillInitial(nullptr);
        const std::string label = std::to_string(shape.width) + "x" + std::to_string(shape.height) +
                                  " kinds " + std::to_string(shape.kinds);
        ASSERT_EQ(CheckWhole(*board), "") << label;
        int32_t score = 0;
        for (int swap = 0; swap < kSwapsPerBoard; swap++) {
            // Every other swap is a move that makes a line, so that cascades,
            // super pieces and explosions come up all the time.
            int x = static_cast<int>(picker() % static_cast<unsigned>(shape.width));
            int y = static_cast<int>(picker() % static_cast<unsigned>(shape.height));
            const int dir = static_cast<int>(picker() % 4);
            int dx = dir == 0 ? 1 : dir == 1 ? -1 : 0;
            int dy = dir == 2 ? 1 : dir == 3 ? -1 : 0;
            Point movePos;
            Point moveDir;
            if (swap % 2 == 1 && board->FindPossibleMove(&movePos, &moveDir)) {
                x = static_cast<int>(movePos.x / board->cellSize);
                y = static_cast<int>(movePos.y / board->cellSize);
                dx = static_cast<int>(moveDir.x);
                dy = static_cast<int>(moveDir.y);
            }
            if (!TextBoard::Swap(*board, x, y, x + dx, y + dy))
                continue;
            board->cascadeLevel = 0;
            ASSERT_GT(TextBoard::RunUntilRest(*board), 0) << label << " swap " << swap;
            if (board->loseOverlay != nullptr)
                break; // no move left: the level is lost, the board is done // no move left: the level is
                       // lost, the board is done
            ASSERT_EQ(CheckWhole(*board), "") << label << " swap " << swap;
            ASSERT_GE(board->levelScore, score) << label;
            score = board->levelScore;
        }
    }
}
