#pragma once

#include "app/Button.h"
#include "app/SpriteStrip.h"
#include "app/String.h"

class Font;

// A push button with a text label on a plain face of its own drawing, for
// windows that must not depend on any button art: normal, hover, pressed
// and disabled faces in one strip, the label centred on them.
class LabelButton : public Button
{
  public:
    // The button's place and size; the faces are drawn for that size.
    void Place(float x, float y, int width, int height);
    void Draw() override;

    String label;
    Font* font = nullptr;

  private:
    SpriteStrip faces;
};
