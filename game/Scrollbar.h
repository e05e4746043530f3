#pragma once
// A scroll bar drawn in greys: two arrows, two page areas and a thumb that
// can be dragged; its value runs from 0 to 1.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/Point.h"

#include <cstdint>

class Scrollbar : public Gadget
{
  public:
    Scrollbar();
    ~Scrollbar() override;

    void Update() override;
    void Draw() override;
    void Notify(Object* sender) override;
    void SetRect(Rect r) override;
    using Gadget::SetRect;
    void MouseDown(int x, int y, int button) override;
    void MouseUp(int x, int y, int button) override;
    void DragEnd(int x, int y) override;
    void DragStart(int x, int y) override;
    void Drag(int x, int y) override;

    virtual void DrawBackground();
    virtual void DrawPart(Button& part);
    virtual void DrawThumb();

    void SetValue(float v);
    // Where the thumb starts along the bar.
    float ThumbPosition() const;

    Button backArrow;
    Button forwardArrow;
    Button pageBackArea;
    Button pageForwardArea;
    bool horizontal = false;
    bool vertical = false;
    float value = 0.0f;
    float thumbSize = 100.0f;
    float travel = 0.0f;
    float step = 0.0f;
    float pageStep = 0.0f;
    int32_t repeatDelay = 0;
    Point grabOffset;
    bool thumbPressed = false;

  private:
    void ResendPointer();
    float BackLength() const;
};
