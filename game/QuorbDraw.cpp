// Drawing a piece.
#include "game/Quorb.h"
#include "game/Board.h"

void Quorb::Draw()
{
    // unbuilt
}
