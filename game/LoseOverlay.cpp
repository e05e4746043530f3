// The lost-level overlay and its record.
#include "game/LoseOverlay.h"
#include "app/IOBuffer.h"
#include "game/Board.h"

LoseOverlay::LoseOverlay(Board* board, LoseReason reason) : board(board), reason(reason)
{
    // unbuilt
}

LoseOverlay::~LoseOverlay()
{
    // unbuilt
}

void LoseOverlay::Update()
{
    // unbuilt
}

void LoseOverlay::Draw()
{
    // unbuilt
}

void LoseOverlay::MouseDown(int /*x*/, int /*y*/, int /*button*/)
{
    // unbuilt
}

void LoseOverlay::Save(IOBuffer& /*buffer*/)
{
    // unbuilt
}

void LoseOverlay::Load(IOBuffer& /*buffer*/)
{
    // unbuilt
}
