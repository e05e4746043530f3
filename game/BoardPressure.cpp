// The pressure meter and turning pieces into skulls.
#include "game/Board.h"
#include "game/Quorb.h"

void Board::RaisePressure()
{
    // unbuilt
}

void Board::UpdateSpeedPressure()
{
    // unbuilt
}

bool Board::ConvertToSkull(Quorb* /*piece*/)
{
    // unbuilt
    return {};
}
