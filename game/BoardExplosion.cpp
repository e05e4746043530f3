// Explosions of super pieces.
#include "game/Board.h"
#include "game/Quorb.h"

void Board::Explode(Point /*point*/)
{
    // unbuilt
}
