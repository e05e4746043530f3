// The won-level overlay and its record.
#include "game/WinOverlay.h"
#include "app/IOBuffer.h"
#include "game/Board.h"

WinOverlay::WinOverlay(Board* board) : board(board)
{
    // unbuilt
}

WinOverlay::~WinOverlay()
{
    // unbuilt
}

void WinOverlay::Update()
{
    // unbuilt
}

void WinOverlay::Draw()
{
    // unbuilt
}

void WinOverlay::MouseDown(int /*x*/, int /*y*/, int /*button*/)
{
    // unbuilt
}

void WinOverlay::Save(IOBuffer& /*buffer*/)
{
    // unbuilt
}

void WinOverlay::Load(IOBuffer& /*buffer*/)
{
    // unbuilt
}
