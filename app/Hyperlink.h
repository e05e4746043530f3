#pragma once

#include "app/Color.h"
#include "app/Gadget.h"
#include "app/String.h"

class Font;

// A line of text that opens a web page when clicked, or tells its listener
// instead when it has one; underlined while the pointer is over it.
class Hyperlink : public Gadget
{
  public:
    Hyperlink();

    void Draw() override;
    void MouseDown(int x, int y, int button) override;

    // Sizes the link to its text at the anchor, or centred on it.
    void Layout(bool centred);

    String text;
    String url;
    float anchorX = 0.0f;
    float anchorY = 0.0f;
    float textOffsetX = 0.0f;
    float textOffsetY = 0.0f;
    Font* font = nullptr;
    Color normalColor{1, 1, 1, 1};
    Color hoverColor{1, 1, 0, 1};
    Gadget* listener = nullptr;
    int underlineThickness = 3;
    int underlineOffset = 0;
};
