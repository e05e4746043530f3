#include "app/App.h"

#include "app/AppLock.h"
#include "app/Gadget.h"
#include "app/Graphics.h"
#include "platform/Window.h"

namespace {
namespace Msg = Platform::Message;

constexpr int kLeft = -1;
constexpr int kRight = 1;
constexpr int kMiddle = 0;

float Scale(float scale)
{
    return scale > 0.0f ? scale : 1.0f;
}

int Relative(float position, float origin)
{
    return static_cast<int>(position - origin);
}
} // namespace

Point App::WindowToGame(int x, int y) const
{
    return Point(static_cast<float>(x) / Scale(theGraphics.mScaleX),
                 static_cast<float>(y) / Scale(theGraphics.mScaleY));
}

// Records queued while a handler runs (a modal dialog pumps messages) are
// replayed in the same walk.
void App::ProcessInputQueue()
{
    if (quit)
        return;
    for (;;) {
        InputRecord record;
        {
            AppLock lock(*this);
            if (inputQueue.empty())
                return;
            record = inputQueue.front();
            inputQueue.pop_front();
        }
        RefreshStalePointer(record);
        DispatchInput(record);
    }
}

// A press or release is preceded by a fresh look at what lies under it when
// gadgets came or went since: a button opened under a still pointer is
// entered before its click. A move finds that itself, a held press keeps
// its gadget until the release, and a pointer never seen lies over nothing.
void App::RefreshStalePointer(const InputRecord& record)
{
    // The button messages lie between the move and the wheel.
    bool button = record.message > Msg::MouseMove && record.message < Msg::MouseWheel;
    if (!pointerTargetsStale || !pointerSeen || !button || PointerHeld())
        return;
    MouseMove(Platform::PointX(record.lParam), Platform::PointY(record.lParam));
}

void App::DispatchInput(const InputRecord& record)
{
    if (quit)
        return;
    int x = Platform::PointX(record.lParam);
    int y = Platform::PointY(record.lParam);
    switch (record.message) {
    case Msg::KeyDown:
        KeyDown(record.wParam);
        break;
    case Msg::KeyUp:
        KeyUp(record.wParam);
        break;
    case Msg::Char:
        Char(record.wParam);
        break;
    case Msg::MouseMove:
        if (PointerHeld())
            MouseDrag(x, y);
        else
            MouseMove(x, y);
        break;
    case Msg::LeftButtonDown:
        MouseDown(x, y, kLeft);
        break;
    case Msg::RightButtonDown:
        MouseDown(x, y, kRight);
        break;
    case Msg::MiddleButtonDown:
        MouseDown(x, y, kMiddle);
        break;
    case Msg::LeftButtonUp:
        MouseUp(x, y, kLeft);
        break;
    case Msg::RightButtonUp:
        MouseUp(x, y, kRight);
        break;
    case Msg::MiddleButtonUp:
        MouseUp(x, y, kMiddle);
        break;
    case Msg::LeftButtonDoubleClick:
        DoubleClick(x, y, kLeft);
        break;
    case Msg::RightButtonDoubleClick:
        DoubleClick(x, y, kRight);
        break;
    case Msg::MiddleButtonDoubleClick:
        DoubleClick(x, y, kMiddle);
        break;
    case Msg::MouseWheel:
        MouseWheel(static_cast<int16_t>(record.wParam >> 16));
        break;
    default:
        break;
    }
}

void App::MouseMove(int x, int y)
{
    pointerTargetsStale = false;
    pointerSeen = true;
    previousMousePosition = mousePosition;
    mousePosition = WindowToGame(x, y);
    Gadget* gadget = rootGadgets.HitTestAndRemember(mousePosition.x, mousePosition.y);
    if (gadget == nullptr) {
        SetCursor(arrowCursor);
        GadgetManager::ClearHover();
    } else if (!gadget->killed) {
        gadget->CoreMouseMove(Relative(mousePosition.x, gadget->rect.x),
                              Relative(mousePosition.y, gadget->rect.y));
        if (gadget->disabled)
            SetCursor(arrowCursor);
    }
    GadgetManager::UpdateHover();
}

// The capture gadget follows the pointer; hover effects follow it too unless
// the drag is exclusive.
void App::MouseDrag(int x, int y)
{
    Gadget* capture = captureGadget;
    if (capture != nullptr && !capture->killed) {
        previousMousePosition = mousePosition;
        mousePosition = WindowToGame(x, y);
        Point origin = capture->GetAbsolutePosition();
        capture->CoreMouseDrag(Relative(mousePosition.x, origin.x), Relative(mousePosition.y, origin.y));
        if (!capture->exclusiveDrag) {
            Gadget* under = rootGadgets.HitTestAndRemember(mousePosition.x, mousePosition.y);
            if (under != nullptr && !under->killed)
                under->CoreMouseMove(Relative(mousePosition.x, under->rect.x),
                                     Relative(mousePosition.y, under->rect.y));
        }
    }
    GadgetManager::UpdateHover();
}

void App::MouseDown(int x, int y, int button)
{
    PressAt(x, y, button, &Gadget::CoreMouseDown);
}

void App::DoubleClick(int x, int y, int button)
{
    PressAt(x, y, button, &Gadget::CoreDoubleClick);
}

void App::PressAt(int x, int y, int button, void (Gadget::*handler)(int, int, int))
{
    pointerTargetsStale = false;
    pointerSeen = true;
    ++buttonsDown;
    if (window)
        window->SetCapture();
    previousMousePosition = mousePosition;
    mousePosition = WindowToGame(x, y);
    Gadget* gadget =
        rootGadgets.HitTest(static_cast<int>(mousePosition.x), static_cast<int>(mousePosition.y));
    if (gadget != nullptr && !gadget->killed)
        (gadget->*handler)(Relative(mousePosition.x, gadget->rect.x),
                           Relative(mousePosition.y, gadget->rect.y), button);
}

// A release without a matching press (after a cancel, or a press that went
// to another window) only settles the count, unless a drag was forced.
void App::MouseUp(int x, int y, int button)
{
    --buttonsDown;
    if (buttonsDown >= 0 || forcedDrag) {
        if (button == kLeft)
            forcedDrag = false;
        if (buttonsDown == 0)
            ReleaseCapture();
        if (captureGadget != nullptr) {
            Gadget* capture = captureGadget;
            if (button == kLeft)
                captureGadget = nullptr;
            mousePosition = WindowToGame(x, y);
            Point origin = capture->GetAbsolutePosition();
            if (button != kLeft || !capture->killed)
                capture->CoreMouseUp(Relative(mousePosition.x, origin.x), Relative(mousePosition.y, origin.y),
                                     button);
        } else {
            Gadget* gadget =
                rootGadgets.HitTest(static_cast<int>(mousePosition.x), static_cast<int>(mousePosition.y));
            mousePosition = WindowToGame(x, y);
            if (gadget != nullptr) {
                Point origin = gadget->GetAbsolutePosition();
                gadget->CoreMouseUp(Relative(mousePosition.x, origin.x), Relative(mousePosition.y, origin.y),
                                    button);
            }
        }
    }
    if (buttonsDown < 0) {
        buttonsDown = 0;
        ReleaseCapture();
    }
}

void App::MouseWheel(int delta)
{
    if (wheelFocusGadget != nullptr && !wheelFocusGadget->killed)
        wheelFocusGadget->CoreMouseWheel(delta);
}

void App::KeyDown(uint32_t key)
{
    if (keyFocusGadget != nullptr && !keyFocusGadget->killed)
        keyFocusGadget->CoreKeyDown(static_cast<int>(key));
}

void App::KeyUp(uint32_t key)
{
    if (keyFocusGadget != nullptr && !keyFocusGadget->killed)
        keyFocusGadget->CoreKeyUp(static_cast<int>(key));
}

void App::Char(uint32_t character)
{
    if (keyFocusGadget != nullptr && !keyFocusGadget->killed)
        keyFocusGadget->CoreChar(static_cast<int>(character));
}

// The pressed gadget gets a release far outside, with listener events
// suppressed, so nothing counts as a click.
void App::CancelMouse()
{
    cancelRunning = true;
    MouseUp(kNowhere, kNowhere, kLeft);
    cancelRunning = false;
    captureGadget = nullptr;
    forcedDrag = false;
    buttonsDown = 0;
    ReleaseCapture();
}

void App::ReleaseCapture()
{
    if (window)
        window->ReleaseCapture();
}

void App::SetHoverGadget(Gadget* gadget)
{
    hoverGadget = gadget;
}

void App::ClearHoverGadget(Gadget* gadget)
{
    if (hoverGadget == gadget)
        hoverGadget = nullptr;
}

void App::ForgetGadget(Gadget* gadget)
{
    if (captureGadget == gadget)
        captureGadget = nullptr;
    if (wheelFocusGadget == gadget)
        wheelFocusGadget = nullptr;
    if (keyFocusGadget == gadget)
        keyFocusGadget = nullptr;
    ClearHoverGadget(gadget);
}

// The pointer's edges count as inside the client area.
void App::CheckMouseOutside()
{
    if (!window || hoverGadget == nullptr)
        return;
    int x = 0;
    int y = 0;
    window->GetCursorPosition(x, y);
    bool outside = x < 0 || y < 0 || x > theGraphics.mWidth || y > theGraphics.mHeight;
    if (outside && hoverGadget != nullptr)
        MouseMove(kNowhere, kNowhere);
}

void App::RefreshMouse()
{
    MouseMove(static_cast<int>(mousePosition.x * Scale(theGraphics.mScaleX)),
              static_cast<int>(mousePosition.y * Scale(theGraphics.mScaleY)));
    UpdateCursor();
}
