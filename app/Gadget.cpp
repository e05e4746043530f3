#include "app/Gadget.h"

#include "app/App.h"
#include "app/GadgetManager.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Keyboard.h"
#include "app/Sprite.h"
#include "platform/Keyboard.h"

#include <cmath>

int Gadget::pressedCount = 0;

namespace {
constexpr int kLeft = -1;

int ChildX(int x, const Gadget* child)
{
    return static_cast<int>(static_cast<float>(x) - child->rect.x);
}

int ChildY(int y, const Gadget* child)
{
    return static_cast<int>(static_cast<float>(y) - child->rect.y);
}

bool ImageAlphaHits(const Image* image, int column, int row, float threshold)
{
    if (image == nullptr)
        return false;
    const uint32_t* pixel = image->GetPixelPtr(column, row);
    return pixel != nullptr && static_cast<float>(*pixel >> 24) / 255.0f > threshold;
}
} // namespace

Gadget::Gadget()
{
    if (theApp != nullptr)
        hoverCursor = theApp->arrowCursor;
}

Gadget::~Gadget()
{
    GadgetManager::ForgetGadget(this);
    if (theApp != nullptr) {
        // Moved off the plane, so the re-sent pointer position finds what
        // lies under it now.
        Gadget::SetRect(Rect(-1, -1, -1, -1));
        theApp->RefreshMouse();
        Gadget::DropKeyFocus();
        Gadget::DropWheelFocus();
    }
    DeleteChildren();
    if (theApp != nullptr) {
        theApp->ForgetGadget(this);
        if (theApp->rootGadgets.underPointer == this)
            theApp->rootGadgets.underPointer = nullptr;
    }
    if (parent != nullptr && parent->children != nullptr && parent->children->underPointer == this)
        parent->children->underPointer = nullptr;
}

// The manager deletes only killed children; the others outlive this gadget
// out of the tree, and must not keep pointing at it nor be kept as under the
// pointer or focused.
void Gadget::DeleteChildren()
{
    GadgetManager* doomed = children;
    children = nullptr;
    if (doomed == nullptr)
        return;
    for (int i = 0; i < doomed->Count(); ++i) {
        Gadget* child = static_cast<Gadget*>(doomed->Get(i));
        doomed->Forget(child);
        if (child->parent == this)
            child->parent = nullptr;
    }
    delete doomed;
}

void Gadget::Initialize() {}

void Gadget::CoreUpdate()
{
    if (!initialised) {
        if (theApp != nullptr)
            theApp->RefreshMouse();
        Initialize();
        initialised = true;
    }
    if (updateDelay > 0) {
        --updateDelay;
        return;
    }
    if (children != nullptr)
        children->Update();
    Update();
    ++updateCount;
}

void Gadget::CoreUpdateFractional(float fraction)
{
    if (!initialised) {
        Initialize();
        initialised = true;
    }
    if (children != nullptr)
        children->UpdateFractional(fraction);
    UpdateFractional(fraction);
}

void Gadget::CoreDraw()
{
    if (!initialised) {
        Initialize();
        initialised = true;
    }
    if (!hidden) {
        theGraphics.SetColorWhite();
        Draw();
        if (children != nullptr)
            children->Draw();
        DrawAfterChildren();
    }
    if (endModalAfterDraw)
        EndModal(0);
}

void Gadget::DrawAfterChildren() {}

void Gadget::SetRect(Rect r)
{
    rect = r;
    hitMode = HitRectangle;
}

void Gadget::EnterHover()
{
    if (theApp != nullptr)
        theApp->SetHoverGadget(this);
    hovered = true;
    MouseEnter();
}

void Gadget::LeaveHover()
{
    if (theApp != nullptr)
        theApp->ClearHoverGadget(this);
    hovered = false;
    MouseExit();
}

void Gadget::CoreMouseMove(int x, int y)
{
    if (disabled)
        return;
    if (children != nullptr) {
        if (children->HitTest(x, y) != nullptr && hovered)
            LeaveHover();
        Gadget* child = children->HitTestAndRemember(static_cast<float>(x), static_cast<float>(y));
        if (child != nullptr) {
            child->CoreMouseMove(ChildX(x, child), ChildY(y, child));
            return;
        }
        if (!hovered)
            EnterHover();
    }
    if (theApp != nullptr)
        theApp->SetCursor(hoverCursor);
    MouseMove(x, y);
}

// The press goes to the child under the pointer when there is one.
bool Gadget::RouteToChild(int x, int y, void (Gadget::*handler)(int, int, int), int button)
{
    if (children == nullptr)
        return false;
    Gadget* child = children->HitTestAndRemember(static_cast<float>(x), static_cast<float>(y));
    if (child == nullptr)
        return false;
    (child->*handler)(ChildX(x, child), ChildY(y, child), button);
    return true;
}

// The gadget pressed with the left button holds the capture until release.
void Gadget::TakeCapture(int x, int y, int button)
{
    if (button != kLeft || theApp == nullptr || theApp->captureGadget != nullptr)
        return;
    theApp->captureGadget = this;
    pressPoint = Point(static_cast<float>(x), static_cast<float>(y));
    dragging = false;
}

void Gadget::CoreMouseDown(int x, int y, int button)
{
    if (disabled || (dragging && button == kLeft))
        return;
    ++pressedCount;
    if (RouteToChild(x, y, &Gadget::CoreMouseDown, button))
        return;
    TakeCapture(x, y, button);
    MouseDown(x, y, button);
}

void Gadget::CoreDoubleClick(int x, int y, int button)
{
    if (disabled)
        return;
    if (RouteToChild(x, y, &Gadget::CoreDoubleClick, button))
        return;
    TakeCapture(x, y, button);
    DoubleClick(x, y, button);
}

void Gadget::CoreMouseUp(int x, int y, int button)
{
    if (dragging && button == kLeft) {
        dragging = false;
        DragEnd(x, y);
    }
    if (pressedCount > 0)
        --pressedCount;
    MouseUp(x, y, button);
}

void Gadget::CoreMouseDrag(int x, int y)
{
    if (disabled || theApp == nullptr || theApp->captureGadget != this)
        return;
    float distance = std::hypot(static_cast<float>(x) - pressPoint.x, static_cast<float>(y) - pressPoint.y);
    if (!(distance > static_cast<float>(dragThreshold)) && !dragging)
        return;
    dragRefused = false;
    if (!dragging)
        DragStart(x, y);
    if (!dragRefused) {
        dragging = true;
        theApp->SetCursor(hoverCursor);
        Drag(x, y);
        return;
    }
    // The refused press releases the capture through the normal input path.
    theApp->PostMouseUp(App::kNowhere, App::kNowhere, kLeft);
}

void Gadget::CoreMouseEnter()
{
    if (disabled)
        return;
    EnterHover();
}

void Gadget::CoreMouseExit()
{
    if (hovered)
        LeaveHover();
}

void Gadget::TakeWheelFocus()
{
    if (!disabled && theApp != nullptr)
        theApp->wheelFocusGadget = this;
}

void Gadget::DropWheelFocus()
{
    if (theApp != nullptr && theApp->wheelFocusGadget == this)
        theApp->wheelFocusGadget = nullptr;
}

void Gadget::CoreMouseWheel(int delta)
{
    MouseWheel(delta);
}

void Gadget::SetExclusiveDrag(bool)
{
    exclusiveDrag = true;
}

void Gadget::MouseMove(int, int) {}
void Gadget::MouseDown(int, int, int) {}
void Gadget::DoubleClick(int, int, int) {}
void Gadget::MouseUp(int, int, int) {}
void Gadget::MouseWheel(int) {}
void Gadget::DragEnd(int, int) {}
void Gadget::DragStart(int, int) {}
void Gadget::Drag(int, int) {}
void Gadget::MouseEnter() {}
void Gadget::MouseExit() {}

void Gadget::BeginDrag()
{
    if (theApp == nullptr || theApp->captureGadget != nullptr)
        return;
    theApp->captureGadget = this;
    theApp->forcedDrag = true;
    dragging = true;
    pressPoint = theApp->mousePosition;
    DragStart(static_cast<int>(theApp->mousePosition.x), static_cast<int>(theApp->mousePosition.y));
}

void Gadget::ForceDrag()
{
    dragging = true;
    if (theApp == nullptr)
        return;
    theApp->captureGadget = this;
    theApp->forcedDrag = true;
}

void Gadget::EndDrag()
{
    if (dragging) {
        if (theApp != nullptr)
            theApp->forcedDrag = false;
        dragging = false;
        Point mouse = theApp != nullptr ? theApp->mousePosition : Point();
        DragEnd(static_cast<int>(mouse.x), static_cast<int>(mouse.y));
    }
    dragRefused = true;
}

void Gadget::CoreKeyDown(int key)
{
    if (!disabled)
        KeyDown(key);
}

void Gadget::CoreKeyUp(int key)
{
    if (!disabled)
        KeyUp(key);
}

void Gadget::CoreChar(int character)
{
    if (!disabled)
        Char(character);
}

void Gadget::TakeKeyFocus()
{
    if (!disabled && theApp != nullptr)
        theApp->keyFocusGadget = this;
}

void Gadget::DropKeyFocus()
{
    if (theApp != nullptr && theApp->keyFocusGadget == this)
        theApp->keyFocusGadget = nullptr;
}

void Gadget::KeyDown(int) {}
void Gadget::KeyUp(int) {}
void Gadget::Char(int) {}

bool Gadget::HitTest(int x, int y)
{
    float px = static_cast<float>(x);
    float py = static_cast<float>(y);
    if (!rect.Contains(px, py))
        return false;
    int column = x - static_cast<int>(rect.x);
    int row = y - static_cast<int>(rect.y);
    switch (hitMode) {
    case HitRectangle:
        return true;
    case HitCircle:
        return std::hypot(px - (rect.x + rect.w * 0.5f), py - (rect.y + rect.h * 0.5f)) <= hitRadius;
    case HitImageAlpha:
        return ImageAlphaHits(hitImage, column, row, alphaThreshold);
    case HitSpriteAlpha:
        return hitSprite != nullptr && hitSprite->GetAlphaAt(column, row) > alphaThreshold;
    default:
        return false;
    }
}

// A disabled gadget routes no press to its children, so their art beyond its
// rectangle must not swallow clicks meant for what lies under it.
Gadget* Gadget::ChildAt(int x, int y)
{
    if (children == nullptr || disabled)
        return nullptr;
    return children->HitTest(ChildX(x, this), ChildY(y, this));
}

void Gadget::OnGadgetEvent(Gadget* sender)
{
    if (theApp != nullptr && !theApp->cancelRunning)
        Notify(sender);
}

void Gadget::Navigate(float, float, float) {}

void Gadget::PollNavigationKeys()
{
    namespace Key = Platform::KeyCode;
    float dx = 0.0f;
    float dy = 0.0f;
    if (theKeyboard.IsKeyDown(Key::Up))
        dy = -1.0f;
    if (theKeyboard.IsKeyDown(Key::Down))
        dy = 1.0f;
    if (theKeyboard.IsKeyDown(Key::Left))
        dx = -1.0f;
    if (theKeyboard.IsKeyDown(Key::Right))
        dx = 1.0f;
    Navigate(dx, dy, 0.0f);
}

void Gadget::AddChild(Gadget* child)
{
    if (child == nullptr)
        return;
    if (children == nullptr)
        children = new GadgetManager();
    children->Add(child);
    child->parent = this;
}

void Gadget::RemoveChild(Gadget* child)
{
    if (child == nullptr)
        return;
    if (children != nullptr)
        children->Remove(child);
    if (child->parent == this)
        child->parent = nullptr;
}

void Gadget::SetHitRect(int x, int y, int w, int h)
{
    SetRect(Rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), static_cast<float>(h)));
}

void Gadget::SetHitCircle(float cx, float cy, float r)
{
    SetRect(Rect(cx - r, cy - r, 2 * r, 2 * r));
    hitRadius = r;
    hitMode = HitCircle;
}

void Gadget::SetHitImage(int x, int y, Image* image)
{
    rect = Rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(image->mWidth),
                static_cast<float>(image->mHeight));
    hitImage = image;
    hitMode = HitImageAlpha;
}

void Gadget::SetHitSprite(int x, int y, Sprite* sprite)
{
    rect = Rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(sprite->mWidth),
                static_cast<float>(sprite->mHeight));
    hitSprite = sprite;
    hitMode = HitSpriteAlpha;
}

void Gadget::SetFullScreen()
{
    SetRect(Rect(0, 0, static_cast<float>(theGraphics.mLogicalWidth),
                 static_cast<float>(theGraphics.mLogicalHeight)));
}

void Gadget::SetHandCursor()
{
    if (theApp != nullptr)
        hoverCursor = theApp->handCursor;
}

void Gadget::SetTextCursor()
{
    if (theApp != nullptr)
        hoverCursor = theApp->ibeamCursor;
}

void Gadget::SetArrowCursor()
{
    if (theApp != nullptr)
        hoverCursor = theApp->arrowCursor;
}

void Gadget::SetDragCursor()
{
    if (theApp != nullptr)
        hoverCursor = theApp->ownCursor;
}

// A loop that ends by a kill or by quitting returns 0, never a stale result
// of an earlier run.
int Gadget::RunModal()
{
    if (theApp == nullptr)
        return 0;
    if (pressedCount != 0)
        theApp->MouseUp(App::kNowhere, App::kNowhere, kLeft);
    pressedCount = 0;
    theApp->CancelMouse();
    modalRunning = true;
    while (!killed && !theApp->quit) {
        theApp->Step();
        if (!modalRunning)
            return modalResult;
    }
    modalRunning = false;
    return 0;
}

int Gadget::ShowModal(Gadget* dialog)
{
    if (theApp == nullptr || dialog == nullptr)
        return 0;
    theApp->rootGadgets.Add(dialog);
    return dialog->RunModal();
}

void Gadget::EndModal(int result)
{
    modalRunning = false;
    modalResult = result;
}

Point Gadget::GetAbsolutePosition() const
{
    Point position(rect.x, rect.y);
    for (const Gadget* ancestor = parent; ancestor != nullptr; ancestor = ancestor->parent) {
        position.x += ancestor->rect.x;
        position.y += ancestor->rect.y;
    }
    return position;
}

void Gadget::ApplyClip()
{
    Rect clip = clipToOwnRect ? rect : Rect(-10000, -10000, 20000, 20000);
    if (parent != nullptr && parent->clipToOwnRect)
        clip = parent->ClipRectToParent(clip);
    theGraphics.SetClipToRect(clip);
}

Rect Gadget::ClipRectToParent(Rect r) const
{
    r.x += rect.x;
    r.y += rect.y;
    r.ClipTo(rect);
    r.x -= rect.x;
    r.y -= rect.y;
    return r;
}
