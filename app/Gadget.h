#pragma once

#include "app/Object.h"
#include "app/Point.h"
#include "app/Rect.h"

class GadgetManager;
class Image;
class Sprite;
namespace Platform {
struct Cursor;
}

// A node of the user-interface tree: screens, overlays, dialogs and controls.
// The Core operations route the application's mouse and key calls (disabled
// test, children first, capture, drag detection) and then call the handler
// operations that subclasses override. Every handler gets integer
// coordinates relative to the gadget's own top-left corner.
class Gadget : public Object
{
  public:
    enum HitMode { HitRectangle = 0, HitCircle = 1, HitImageAlpha = 2, HitSpriteAlpha = 3 };

    Gadget();
    ~Gadget() override;

    // Run once, lazily, before the first update or draw.
    virtual void Initialize();
    virtual void CoreUpdate();
    virtual void CoreUpdateFractional(float fraction);
    virtual void CoreDraw();
    virtual void DrawAfterChildren();
    virtual void SetRect(Rect r);
    void SetRect(float x, float y, float w, float h) { SetRect(Rect(x, y, w, h)); }
    virtual void CoreMouseMove(int x, int y);
    virtual void CoreMouseDown(int x, int y, int button);
    virtual void CoreDoubleClick(int x, int y, int button);
    virtual void CoreMouseUp(int x, int y, int button);
    virtual void CoreMouseDrag(int x, int y);
    virtual void CoreMouseEnter();
    virtual void CoreMouseExit();
    virtual void TakeWheelFocus();
    virtual void DropWheelFocus();
    virtual void CoreMouseWheel(int delta);
    // Any argument turns it on; nothing turns it off again.
    virtual void SetExclusiveDrag(bool on);
    virtual void MouseMove(int x, int y);
    virtual void MouseDown(int x, int y, int button);
    virtual void DoubleClick(int x, int y, int button);
    virtual void MouseUp(int x, int y, int button);
    virtual void MouseWheel(int delta);
    virtual void DragEnd(int x, int y);
    // Calling EndDrag in here refuses the drag.
    virtual void DragStart(int x, int y);
    virtual void Drag(int x, int y);
    virtual void MouseEnter();
    virtual void MouseExit();
    // A drag started by code rather than by moving the pressed pointer.
    virtual void BeginDrag();
    virtual void ForceDrag();
    virtual void EndDrag();
    virtual void CoreKeyDown(int key);
    virtual void CoreKeyUp(int key);
    virtual void CoreChar(int character);
    virtual void TakeKeyFocus();
    virtual void DropKeyFocus();
    virtual void KeyDown(int key);
    virtual void KeyUp(int key);
    virtual void Char(int character);
    // (x, y) in the parent's frame.
    virtual bool HitTest(int x, int y);
    // (x, y) in the parent's frame: the child hit there, which may lie beyond
    // this gadget's own rectangle; none while this gadget is disabled.
    Gadget* ChildAt(int x, int y);
    // Controls report to their listener through this.
    virtual void OnGadgetEvent(Gadget* sender);
    virtual void Navigate(float dx, float dy, float dz);
    virtual void PollNavigationKeys();

    void AddChild(Gadget* child);
    void RemoveChild(Gadget* child);
    void SetHitRect(int x, int y, int w, int h);
    void SetHitCircle(float cx, float cy, float r);
    void SetHitImage(int x, int y, Image* image);
    void SetHitSprite(int x, int y, Sprite* sprite);
    void SetFullScreen();
    void SetHandCursor();
    void SetTextCursor();
    void SetArrowCursor();
    void SetDragCursor();
    // Keeps the program running until EndModal, a kill or quit; 0 when the
    // loop ended without EndModal.
    int RunModal();
    void EndModal(int result);
    // Adds the dialog to the application's root gadgets and runs it modally.
    static int ShowModal(Gadget* dialog);
    Point GetAbsolutePosition() const;
    // Called by the parent's manager, in the parent's frame.
    void ApplyClip();
    Rect ClipRectToParent(Rect r) const;

    bool initialised = false;
    bool clipToOwnRect = true;
    bool hovered = false;
    bool dragging = false;
    bool dragRefused = false;
    int dragThreshold = 2;
    Point pressPoint;
    bool exclusiveDrag = false;
    bool inputTransparent = false;
    Platform::Cursor* hoverCursor = nullptr;
    Gadget* parent = nullptr;
    GadgetManager* children = nullptr;
    int hitMode = HitRectangle;
    Image* hitImage = nullptr;
    Sprite* hitSprite = nullptr;
    float alphaThreshold = 0.25f;
    float hitRadius = 0.0f;
    bool disabled = false;
    bool modalRunning = false;
    int modalResult = 0;
    bool endModalAfterDraw = false;
    int updateDelay = 0;
    bool hidden = false;
    int updateCount = 0;
    Rect rect;

    // Presses routed to gadgets and not yet released, over all gadgets.
    static int pressedCount;

  private:
    void DeleteChildren();
    void TakeCapture(int x, int y, int button);
    void EnterHover();
    void LeaveHover();
    bool RouteToChild(int x, int y, void (Gadget::*handler)(int, int, int), int button);
};
