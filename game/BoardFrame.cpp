// The frame around the enabled cells and the in-game buttons.
#include "game/Board.h"

void Board::BuildFrame()
{
    // unbuilt
}

void Board::DrawFrame()
{
    // unbuilt
}
