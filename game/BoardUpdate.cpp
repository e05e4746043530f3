// The per-tick board update and the settle step.
#include "game/Board.h"
#include "game/Quorb.h"

void Board::Update()
{
    // unbuilt
}

void Board::Settle()
{
    // unbuilt
}
