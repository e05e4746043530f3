// Level set-up: grid size, kinds, meters and goal counters per level type.
#include "game/Board.h"
#include "game/Quorb.h"

void Board::SetupLevel(LevelType /*type*/, int /*difficulty*/)
{
    // unbuilt
}

void Board::SetSize(int /*width*/, int /*height*/)
{
    // unbuilt
}

void Board::PlaceLevelSkulls()
{
    // unbuilt
}

void Board::PlaceSkulls()
{
    // unbuilt
}
