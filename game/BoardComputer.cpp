// The computer opponent of duel levels.
#include "game/Board.h"

void Board::UpdateComputer()
{
    // unbuilt
}
