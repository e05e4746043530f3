// Gravity, refilling empty cells and repairing holes.
#include "game/Board.h"
#include "game/Quorb.h"

void Board::Refill()
{
    // unbuilt
}

void Board::CorrectHoles()
{
    // unbuilt
}

void Board::FillInitial(std::vector<Quorb*>* /*list*/)
{
    // unbuilt
}
