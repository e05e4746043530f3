// The board's saved-game record.
#include "game/Board.h"
#include "app/IOBuffer.h"
#include "game/Quorb.h"

void Board::Save(IOBuffer& /*buffer*/)
{
    // unbuilt
}

void Board::Load(IOBuffer& /*buffer*/)
{
    // unbuilt
}
