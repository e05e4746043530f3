// A rising text popup with a shadow.
#include "game/Anim_TextFloater.h"

Anim_TextFloater::Anim_TextFloater(Font* font, const String& text, Point position) : Anim_Floater(nullptr, position), text(text), font(font)
{
    // unbuilt
}

Anim_TextFloater::~Anim_TextFloater()
{
    // unbuilt
}

void Anim_TextFloater::Draw()
{
    // unbuilt
}

Rect Anim_TextFloater::GetBounds()
{
    // unbuilt
    return {};
}
