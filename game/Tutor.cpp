// Tutorial pages with a demonstration board.
#include "game/Tutor.h"
#include "game/Board.h"
#include "game/Game.h"

Tutor::Tutor(Game* game) : game(game)
{
    // unbuilt
}

Tutor::~Tutor()
{
    // unbuilt
}

void Tutor::Draw()
{
    // unbuilt
}

void Tutor::Notify(Object* /*sender*/)
{
    // unbuilt
}

void Tutor::DrawAfterChildren()
{
    // unbuilt
}

void Tutor::BuildPage()
{
    // unbuilt
}
