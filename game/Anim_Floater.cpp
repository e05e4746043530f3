// A rising, fading, colour-cycling sprite.
#include "game/Anim_Floater.h"

Anim_Floater::Anim_Floater(Sprite* sprite, Point position) : sprite(sprite), x(position.x), y(position.y)
{
    // unbuilt
}

Anim_Floater::~Anim_Floater()
{
    // unbuilt
}

void Anim_Floater::Update()
{
    // unbuilt
}

void Anim_Floater::Draw()
{
    // unbuilt
}

Rect Anim_Floater::GetBounds()
{
    // unbuilt
    return {};
}
