// Drawing the board, its background and its meters.
#include "game/Board.h"
#include "game/Quorb.h"

void Board::Draw()
{
    // unbuilt
}

void Board::DrawHud()
{
    // unbuilt
}

void Board::DrawCells()
{
    // unbuilt
}

void Board::DrawBackground()
{
    // unbuilt
}
