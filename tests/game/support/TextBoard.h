#pragma once
// Boards from rows of text, and back, for tests that need no application,
// game or art. One character a cell:
//   '0'..'7'  a piece of that kind
//   'A'..'H'  a super piece of kind 0..7
//   'x'       a skull (kind 0)        'X'  a skull placed by the level
//   '.'       an empty cell           '#'  a disabled cell
// The grid is sized and placed as on an 800 x 600 screen; the level type is
// Surprise, which has no goal, so nothing wins by itself. Seed theRandom
// after building: making pieces draws from it.

#include "game/Board.h"

#include <memory>
#include <string>
#include <vector>

class Quorb;

namespace TextBoard {

std::unique_ptr<Board> Make(const std::vector<std::string>& rows, int kindCount = 7);
std::vector<std::string> Dump(const Board& board);

// The piece covering cell (x, y), null for none.
Quorb* PieceIn(const Board& board, int x, int y);

// Swaps the pieces of two cells through Board::TrySwap.
bool Swap(Board& board, int x1, int y1, int x2, int y2);

// Steps Update until nothing moves and nothing is pending; the ticks that
// took, or -1 when the board did not rest within maxTicks.
int RunUntilRest(Board& board, int maxTicks = 20000);
bool IsAtRest(const Board& board);

} // namespace TextBoard
