// The general particle effect.
#include "game/Anim_Sprite.h"

Anim_Sprite::Anim_Sprite()
{
    // unbuilt
}

Anim_Sprite::~Anim_Sprite()
{
    // unbuilt
}

void Anim_Sprite::Update()
{
    // unbuilt
}

void Anim_Sprite::Draw()
{
    // unbuilt
}
