// The level-up overlay with fireworks, and its record.
#include "game/LevelupOverlay.h"
#include "app/IOBuffer.h"
#include "game/Board.h"

LevelupOverlay::LevelupOverlay(Board* board) : board(board)
{
    // unbuilt
}

LevelupOverlay::~LevelupOverlay()
{
    // unbuilt
}

void LevelupOverlay::Update()
{
    // unbuilt
}

void LevelupOverlay::Draw()
{
    // unbuilt
}

void LevelupOverlay::SpawnFireworks(float /*x*/, float /*y*/)
{
    // unbuilt
}

void LevelupOverlay::Save(IOBuffer& /*buffer*/)
{
    // unbuilt
}

void LevelupOverlay::Load(IOBuffer& /*buffer*/)
{
    // unbuilt
}
