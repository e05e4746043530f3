// A self-drawn scroll bar with arrows, page areas and a draggable thumb.
#include "game/Scrollbar.h"

#include "app/App.h"
#include "app/Graphics.h"

#include <algorithm>

namespace {

constexpr int kRepeatDelay = 50;
constexpr int kLeftButton = -1; // the framework's number for the left button

void Grey(float g)
{
    theGraphics.SetColor(g, g, g, 1.0f);
}

// A bevelled box: light top-left, dark bottom-right (raised), or three dark
// lines top-left and light lines bottom-right (sunken).
void Bevel(float w, float h, bool sunken)
{
    if (sunken) {
        Grey(0.5f);
        for (float i = 0; i < 3; ++i) {
            theGraphics.FillRect(0, i, w, 1);
            theGraphics.FillRect(i, 0, 1, h);
        }
        Grey(0.7f);
        theGraphics.FillRect(w, 0, 1, h);
        theGraphics.FillRect(0, h, w, 1);
        return;
    }
    theGraphics.SetColorWhite();
    theGraphics.FillRect(0, 0, w, 1);
    theGraphics.FillRect(0, 0, 1, h);
    theGraphics.FillRect(0, 1, w - 1, 1);
    theGraphics.FillRect(1, 0, 1, h - 1);
}

void Translate(float dx, float dy)
{
    theGraphics.mTranslation.x += dx;
    theGraphics.mTranslation.y += dy;
}

} // namespace

Scrollbar::Scrollbar()
{
    for (Button* part : {&backArrow, &forwardArrow, &pageBackArea, &pageForwardArea}) {
        AddChild(part);
        part->listener = this;
        part->notifyOnPress = true;
    }
    pageBackArea.SetArrowCursor();
    pageForwardArea.SetArrowCursor();
    SetDragCursor();
    SetValue(0.0f);
}

Scrollbar::~Scrollbar()
{
    for (Button* part : {&backArrow, &forwardArrow, &pageBackArea, &pageForwardArea})
        RemoveChild(part);
}

float Scrollbar::BackLength() const
{
    return horizontal ? backArrow.rect.w : backArrow.rect.h;
}

float Scrollbar::ThumbPosition() const
{
    return BackLength() + travel * value;
}

void Scrollbar::SetRect(Rect r)
{
    Gadget::SetRect(r);
    hitMode = HitRectangle;
    horizontal = r.h < r.w;
    vertical = r.h > r.w;
    float s = std::min(r.w, r.h);
    backArrow.SetRect(0, 0, s, s);
    if (horizontal)
        forwardArrow.SetRect(r.w - s, 0, s, s);
    else
        forwardArrow.SetRect(0, r.h - s, s, s);
    float length = horizontal ? r.w : (vertical ? r.h : 0.0f);
    travel = length - 2 * s - thumbSize;
    // A square bar, or one too short for its arrows and thumb, cannot move.
    if (!(horizontal || vertical) || travel <= 0.0f) {
        travel = 0.0f;
        step = 0.0f;
        pageStep = 0.0f;
        value = 0.0f;
    } else {
        step = 1.0f / travel;
        pageStep = step * thumbSize;
    }
    SetValue(value);
}

void Scrollbar::SetValue(float v)
{
    value = std::clamp(v, 0.0f, 1.0f);
    if (travel <= 0.0f)
        value = 0.0f;
    float p = ThumbPosition();
    if (horizontal) {
        float bw = backArrow.rect.w;
        pageBackArea.SetRect(bw, 0, p - bw, rect.h);
        pageForwardArea.SetRect(p + thumbSize, 0, travel + bw - p, rect.h);
    } else {
        float bh = backArrow.rect.h;
        pageBackArea.SetRect(0, bh, rect.w, p - bh);
        pageForwardArea.SetRect(0, p + thumbSize, rect.w, travel + bh - p);
    }
}

void Scrollbar::ResendPointer()
{
    if (theApp == nullptr)
        return;
    theApp->MouseMove(int(theApp->mousePosition.x * theGraphics.mScaleX),
                      int(theApp->mousePosition.y * theGraphics.mScaleY));
    theApp->UpdateCursor();
}

void Scrollbar::Notify(Object* sender)
{
    if (sender == &forwardArrow)
        SetValue(value + step);
    else if (sender == &backArrow)
        SetValue(value - step);
    else if (sender == &pageBackArea)
        SetValue(value - pageStep);
    else if (sender == &pageForwardArea)
        SetValue(value + pageStep);
    else
        return;
    ResendPointer();
    repeatDelay = kRepeatDelay;
}

void Scrollbar::Update()
{
    repeatDelay = std::max(repeatDelay - 1, 0);
    if (repeatDelay > 0)
        return;
    if (backArrow.down)
        SetValue(value - step);
    if (forwardArrow.down)
        SetValue(value + step);
    if (pageBackArea.down && pageBackArea.hovered)
        SetValue(value - pageStep);
    if (pageForwardArea.down && pageForwardArea.hovered)
        SetValue(value + pageStep);
    ResendPointer();
}

void Scrollbar::MouseDown(int, int, int button)
{
    if (button == kLeftButton)
        thumbPressed = true;
}

void Scrollbar::MouseUp(int, int, int button)
{
    if (button == kLeftButton)
        thumbPressed = false;
}

void Scrollbar::DragStart(int x, int y)
{
    float p = ThumbPosition();
    grabOffset = horizontal ? Point(x - p, float(y)) : Point(float(x), y - p);
    thumbPressed = true;
}

void Scrollbar::Drag(int x, int y)
{
    if (travel <= 0.0f)
        return;
    if (horizontal)
        SetValue((x - grabOffset.x - backArrow.rect.w) / travel);
    else
        SetValue((y - grabOffset.y - backArrow.rect.h) / travel);
}

void Scrollbar::DragEnd(int, int)
{
    thumbPressed = false;
}

void Scrollbar::Draw()
{
    DrawBackground();
    float p = ThumbPosition();
    float tx = horizontal ? p : 0.0f;
    float ty = horizontal ? 0.0f : p;
    Translate(tx, ty);
    DrawThumb();
    Translate(-tx, -ty);
    for (Button* part : {&backArrow, &forwardArrow, &pageBackArea, &pageForwardArea}) {
        Translate(part->rect.x, part->rect.y);
        DrawPart(*part);
        Translate(-part->rect.x, -part->rect.y);
    }
}

void Scrollbar::DrawBackground()
{
    Grey(0.76f);
    theGraphics.FillRect(0, 0, rect.w, rect.h);
    theGraphics.SetColorWhite();
}

void Scrollbar::DrawPart(Button& part)
{
    float w = part.rect.w;
    float h = part.rect.h;
    Grey(0.76f);
    theGraphics.FillRect(0, 0, w, h);
    if (&part == &backArrow || &part == &forwardArrow) {
        Bevel(w, h, part.down);
        if (!part.down) {
            Grey(0.5f);
            theGraphics.FillRect(w - 1, 0, 1, h);
            theGraphics.FillRect(0, h - 1, w + 1, 1);
            theGraphics.FillRect(w - 2, 1, 1, h - 2);
            theGraphics.FillRect(1, h - 2, w - 1, 1);
        }
    } else if (part.down) {
        theGraphics.SetColor(0.25f, 0.25f, 0.25f, 0.25f);
        theGraphics.FillRect(0, 0, w, h);
    }
    theGraphics.SetColorWhite();
}

void Scrollbar::DrawThumb()
{
    float tw = horizontal ? thumbSize - 1 : rect.w - 1;
    float th = horizontal ? rect.h - 1 : thumbSize - 1;
    Grey(thumbPressed ? 0.85f : 0.75f);
    theGraphics.FillRect(0, 0, tw, th);
    Bevel(tw, th, thumbPressed);
    if (!thumbPressed) {
        Grey(0.5f);
        theGraphics.FillRect(tw, 0, 1, th);
        theGraphics.FillRect(0, th, tw + 1, 1);
        theGraphics.FillRect(tw - 1, 1, 1, th - 1);
        theGraphics.FillRect(1, th - 1, tw - 1, 1);
    }
    theGraphics.SetColorWhite();
}
