// The spinning piece that covers a screen switch.
#include "game/Transition.h"
#include "game/QuorbSwapApp.h"

Transition::Transition(QuorbSwapApp* app, TransitionTarget target) : app(app), target(target)
{
    // unbuilt
}

Transition::~Transition()
{
    // unbuilt
}

void Transition::Update()
{
    // unbuilt
}

void Transition::Draw()
{
    // unbuilt
}

void Transition::SwitchScreen()
{
    // unbuilt
}
