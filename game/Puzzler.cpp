// The jigsaw and records screen.
#include "game/Puzzler.h"
#include "game/ProfileProgress.h"
#include "game/QuorbSwapApp.h"

Puzzler::Puzzler(QuorbSwapApp* app) : application(app)
{
    // unbuilt
}

Puzzler::~Puzzler()
{
    // unbuilt
}

void Puzzler::Update()
{
    // unbuilt
}

void Puzzler::Draw()
{
    // unbuilt
}

void Puzzler::DrawAfterChildren()
{
    // unbuilt
}

void Puzzler::Notify(Object* /*sender*/)
{
    // unbuilt
}

void Puzzler::DragStart(int /*x*/, int /*y*/)
{
    // unbuilt
}

void Puzzler::Drag(int /*x*/, int /*y*/)
{
    // unbuilt
}

void Puzzler::DragEnd(int /*x*/, int /*y*/)
{
    // unbuilt
}

void Puzzler::DrawJigsawPage(float /*offset*/)
{
    // unbuilt
}

void Puzzler::DrawStatisticsPage(float /*offset*/)
{
    // unbuilt
}

void Puzzler::DrawHighScorePage(float /*offset*/)
{
    // unbuilt
}

void Puzzler::DrawPicture(int /*picture*/)
{
    // unbuilt
}
