// A won jigsaw piece flying to the jigsaw icon.
#include "game/Anim_Puzzle.h"

Anim_Puzzle::Anim_Puzzle(Gadget* source, Map* map) : source(source), map(map)
{
    // unbuilt
}

Anim_Puzzle::~Anim_Puzzle()
{
    // unbuilt
}

void Anim_Puzzle::Update()
{
    // unbuilt
}

void Anim_Puzzle::Draw()
{
    // unbuilt
}
