#include "app/Button.h"

#include "app/App.h"
#include "app/Sound.h"
#include "app/SpriteStrip.h"

namespace {
constexpr int kLeft = -1;

void PlayIfSet(Sound* sound)
{
    if (sound != nullptr)
        sound->Play(1.0f);
}
} // namespace

Button::Button()
{
    name = "button";
    SetHandCursor();
}

Button::~Button()
{
    ReleaseOwnedStrip();
}

void Button::ReleaseOwnedStrip()
{
    if (!stripShared)
        delete strip;
    strip = nullptr;
}

void Button::SetPosition(float x, float y)
{
    SetHitImage(static_cast<int>(x), static_cast<int>(y), &hitMask);
}

void Button::SetStrip(SpriteStrip* newStrip)
{
    ReleaseOwnedStrip();
    strip = newStrip;
    stripShared = true;
    Sprite* first = strip != nullptr ? strip->GetFrame(0) : nullptr;
    if (first != nullptr)
        SetHitSprite(static_cast<int>(rect.x), static_cast<int>(rect.y), first);
}

void Button::SetListener(Gadget* newListener, bool addAsChild)
{
    listener = newListener;
    if (addAsChild && listener != nullptr)
        listener->AddChild(this);
}

void Button::Setup(Gadget* newListener, SpriteStrip* newStrip, float x, float y, Sound* click, Sound* hover)
{
    SetPosition(x, y);
    SetStrip(newStrip);
    SetListener(newListener, true);
    SetClickSound(click);
    SetHoverSound(hover);
}

void Button::Press()
{
    armed = false;
    if (down)
        return;
    PlayIfSet(clickSound);
    down = true;
    armed = true;
    if (notifyOnPress) {
        SetArrowCursor();
        Tell();
    }
    if (notifyOnPressAndDoubleClick)
        Tell();
}

void Button::Tell()
{
    if (listener != nullptr)
        listener->OnGadgetEvent(this);
}

void Button::MouseDown(int, int, int button)
{
    if (button == kLeft)
        Press();
}

void Button::DoubleClick(int, int, int button)
{
    if (button == kLeft && notifyOnPressAndDoubleClick)
        Press();
}

void Button::MouseUp(int, int, int button)
{
    if (button != kLeft || notifyOnPress)
        return;
    bool wasDown = down;
    down = false;
    if (!armed)
        return;
    if (hovered && !notifyOnPressAndDoubleClick && wasDown && theApp != nullptr)
        Tell();
}

void Button::MouseEnter()
{
    PlayIfSet(hoverSound);
}

int Button::GetFrame(bool hasDisabledFrame) const
{
    int frame;
    if (strip != nullptr && strip->mFrameCount == 2)
        frame = down ? 1 : 0;
    else if (hovered)
        frame = down ? 2 : 1;
    else
        frame = down && notifyOnPress ? 2 : 0;
    if (hasDisabledFrame && disabled)
        frame = 3;
    return frame;
}

// A strip without the frame asked for (a single picture) shows its first.
void Button::Draw()
{
    if (strip == nullptr)
        return;
    Sprite* frame = strip->GetFrame(GetFrame(strip->mFrameCount == 4));
    if (frame == nullptr)
        frame = strip->GetFrame(0);
    if (frame != nullptr)
        frame->Draw(0, 0);
}
