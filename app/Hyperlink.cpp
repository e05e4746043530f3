#include "app/Hyperlink.h"

#include "app/App.h"
#include "app/Font.h"
#include "app/Graphics.h"

namespace {
constexpr int kLeft = -1;
}

Hyperlink::Hyperlink()
{
    name = "hyperlink";
    SetHandCursor();
    clipToOwnRect = false;
}

void Hyperlink::Layout(bool centred)
{
    Point size = font != nullptr ? font->GetTextExtent(text) : Point();
    SetRect(anchorX, anchorY, size.x, size.y);
    if (centred)
        rect.x = anchorX - rect.w * 0.5f;
}

void Hyperlink::MouseDown(int, int, int button)
{
    if (button != kLeft)
        return;
    if (listener != nullptr)
        listener->OnGadgetEvent(this);
    else if (theApp != nullptr)
        theApp->OpenURL(url);
}

void Hyperlink::Draw()
{
    theGraphics.SetColor(hovered ? hoverColor : normalColor);
    if (font != nullptr)
        font->Draw(text, textOffsetX, textOffsetY);
    if (hovered)
        theGraphics.FillRect(0, rect.h - static_cast<float>(underlineThickness - underlineOffset), rect.w,
                             static_cast<float>(underlineThickness));
}
