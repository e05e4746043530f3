// Popped pieces, goal counters and bonus effects.
#include "game/Board.h"
#include "game/Quorb.h"

void Board::OnPiecePopped(Quorb* /*piece*/)
{
    // unbuilt
}

void Board::MarkCell(Quorb* /*piece*/)
{
    // unbuilt
}

void Board::OnSkullBroken(Quorb* /*piece*/)
{
    // unbuilt
}

void Board::OnSkullHit(Quorb* /*piece*/)
{
    // unbuilt
}

void Board::CascadeBonus(Point /*point*/)
{
    // unbuilt
}

void Board::MultiMatchBonus(const std::vector<PieceGroup>& /*groups*/, Point /*point*/)
{
    // unbuilt
}
