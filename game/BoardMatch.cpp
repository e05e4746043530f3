// Finding lines and possible moves; the hint and the self-playing demonstration.
#include "game/Board.h"
#include "game/Quorb.h"

bool Board::FindMatches(std::vector<PieceGroup>* /*groups*/)
{
    // unbuilt
    return {};
}

bool Board::HasLineThrough(Quorb* /*piece*/)
{
    // unbuilt
    return {};
}

bool Board::FindPossibleMove(Point* /*outPos*/, Point* /*outDir*/)
{
    // unbuilt
    return {};
}

void Board::ShowHint()
{
    // unbuilt
}

void Board::UpdateDemo()
{
    // unbuilt
}
