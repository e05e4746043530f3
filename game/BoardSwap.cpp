// Selecting pieces with the mouse and swapping neighbours.
#include "game/Board.h"
#include "game/Quorb.h"

Quorb* Board::PieceAt(float /*x*/, float /*y*/) const
{
    // unbuilt
    return {};
}

Quorb* Board::PieceAtPoint(Point /*p*/) const
{
    // unbuilt
    return {};
}

bool Board::AreNeighbours(Quorb* /*a*/, Quorb* /*b*/) const
{
    // unbuilt
    return {};
}

bool Board::TrySwap(Quorb* /*a*/, Quorb* /*b*/)
{
    // unbuilt
    return {};
}

void Board::OnMouseDown(int /*x*/, int /*y*/, int /*button*/)
{
    // unbuilt
}

void Board::OnMouseMove(int /*x*/, int /*y*/)
{
    // unbuilt
}

void Board::OnMouseUp(int /*x*/, int /*y*/, int /*button*/)
{
    // unbuilt
}
