// "Ready" and "Go" at the start of a level.
#include "game/ReadyOverlay.h"
#include "game/Board.h"

ReadyOverlay::ReadyOverlay(Board* board) : board(board)
{
    // unbuilt
}

ReadyOverlay::~ReadyOverlay()
{
    // unbuilt
}

void ReadyOverlay::Update()
{
    // unbuilt
}

void ReadyOverlay::Draw()
{
    // unbuilt
}
