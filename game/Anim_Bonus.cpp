// A won bonus item flying to its power slot.
#include "game/Anim_Bonus.h"

Anim_Bonus::Anim_Bonus(Gadget* source, Map* map) : Anim_Puzzle(source, map)
{
    // unbuilt
}

Anim_Bonus::~Anim_Bonus()
{
    // unbuilt
}

void Anim_Bonus::Update()
{
    // unbuilt
}

void Anim_Bonus::Draw()
{
    // unbuilt
}
