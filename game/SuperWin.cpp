// The final win screen of a journey.
#include "game/SuperWin.h"
#include "game/Game.h"

SuperWin::SuperWin(Game* game) : game(game)
{
    // unbuilt
}

SuperWin::~SuperWin()
{
    // unbuilt
}

void SuperWin::Update()
{
    // unbuilt
}

void SuperWin::Draw()
{
    // unbuilt
}

void SuperWin::SpawnFireworks(float /*x*/, float /*y*/)
{
    // unbuilt
}

void SuperWin::EnterHighScore()
{
    // unbuilt
}

void SuperWin::OnMouseDown(int /*x*/, int /*y*/, int /*button*/)
{
    // unbuilt
}
