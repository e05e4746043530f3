// Processing matched lines and scoring them.
#include "game/Board.h"
#include "game/Quorb.h"

void Board::ProcessMatches()
{
    // unbuilt
}

void Board::AddScorePopup(int /*points*/, Point /*pos*/)
{
    // unbuilt
}

void Board::QueueExplosion(Point /*pos*/)
{
    // unbuilt
}

void Board::PressureReliefPerSuper()
{
    // unbuilt
}
