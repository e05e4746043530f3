#include "app/Slider.h"

#include "app/Graphics.h"
#include "app/Sprite.h"

#include <algorithm>

namespace {
constexpr int kLeft = -1;
}

Slider::Slider()
{
    name = "Slider";
    dragThreshold = 0;
}

void Slider::SetListener(Gadget* newListener, bool addAsChild)
{
    listener = newListener;
    if (addAsChild && listener != nullptr)
        listener->AddChild(this);
}

float Slider::GetThumbCenter() const
{
    return margin + thumbWidth * 0.5f + Travel() * value;
}

// The thumb takes the slider's whole height.
bool Slider::IsOverThumb(int x, int y) const
{
    float left = GetThumbCenter() - thumbWidth / 2.0f;
    float px = static_cast<float>(x);
    float py = static_cast<float>(y);
    return px >= left && px < left + thumbWidth && py >= 0.0f && py < rect.h;
}

void Slider::MouseMove(int x, int y)
{
    thumbHovered = IsOverThumb(x, y);
    if (thumbHovered)
        SetDragCursor();
    else
        SetArrowCursor();
}

// The press itself starts the drag, so the first move already moves the
// thumb.
void Slider::MouseDown(int x, int y, int button)
{
    if (button == kLeft && IsOverThumb(x, y))
        DragStart(x, y);
}

// A press that never moved ends no drag through the gadget's machinery.
void Slider::MouseUp(int, int, int button)
{
    if (button == kLeft)
        thumbDragging = false;
}

// The drag machinery calls this again on the first move; the grab taken by
// the press stands.
void Slider::DragStart(int x, int y)
{
    if (thumbDragging || !IsOverThumb(x, y))
        return;
    thumbDragging = true;
    grabOffset = GetThumbCenter() - static_cast<float>(x);
}

// Without travel the value cannot move and stays.
void Slider::Drag(int x, int)
{
    if (!thumbDragging)
        return;
    if (Travel() != 0.0f) {
        float position = grabOffset + static_cast<float>(x) - (thumbWidth * 0.5f + margin);
        value = std::clamp(position / Travel(), 0.0f, 1.0f);
    }
    if (listener != nullptr)
        listener->OnGadgetEvent(this);
}

void Slider::DragEnd(int, int)
{
    thumbDragging = false;
}

void Slider::MouseExit()
{
    thumbHovered = false;
}

void Slider::DrawThumbSprite()
{
    Sprite* sprite = thumbSprite;
    if (thumbDragging && thumbDragSprite != nullptr)
        sprite = thumbDragSprite;
    else if (thumbHovered && thumbHoverSprite != nullptr)
        sprite = thumbHoverSprite;
    sprite->DrawCentered(GetThumbCenter(), rect.h * 0.5f);
}

void Slider::Draw()
{
    if (invisible)
        return;
    theGraphics.ResetClip();
    if (trackColor.a != 0.0f) {
        theGraphics.SetColor(trackColor);
        theGraphics.FillRect(0, 0, rect.w, rect.h);
        theGraphics.SetColorWhite();
    }
    if (trackSprite != nullptr)
        trackSprite->Draw(0, 0);
    if (thumbSprite != nullptr) {
        DrawThumbSprite();
        return;
    }
    if (thumbDragging)
        theGraphics.SetColor(thumbDragColor);
    else if (thumbHovered)
        theGraphics.SetColor(thumbHoverColor);
    else
        theGraphics.SetColor(thumbColor);
    theGraphics.FillRect(GetThumbCenter() - thumbWidth * 0.5f, rect.h * 0.5f - thumbHeight * 0.5f, thumbWidth,
                         thumbHeight);
}
