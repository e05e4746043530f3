// Goal checks, level-up and loss.
#include "game/Board.h"
#include "game/Quorb.h"

void Board::CheckGoal()
{
    // unbuilt
}

void Board::CheckLose()
{
    // unbuilt
}

void Board::LoseOnDrain()
{
    // unbuilt
}

void Board::ChangeAllToSkulls()
{
    // unbuilt
}
