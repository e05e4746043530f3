#pragma once
// A floating text with a drop shadow (the score popups).

#include "app/String.h"
#include "game/Anim_Floater.h"

class Font;

class Anim_TextFloater : public Anim_Floater
{
  public:
    Anim_TextFloater(Font* font, const String& text, Point position);
    ~Anim_TextFloater() override;

    void Draw() override;
    Rect GetBounds() override;

    String text;
    Font* font = nullptr;
    float halfWidth = 0.0f;
};
