// Piece art scaled to the cell size and the collect icons.
#include "game/Board.h"
#include "game/QuorbSwapApp.h"

void Board::PreparePieceArt()
{
    // unbuilt
}

void Board::PrepareCollectIcons()
{
    // unbuilt
}
