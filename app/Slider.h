#pragma once

#include "app/Color.h"
#include "app/Gadget.h"

class Sprite;

// A horizontal value control (0 to 1) with a thumb dragged along a track,
// reporting every drag step to its listener. Drawn only once its owner
// clears "invisible".
class Slider : public Gadget
{
  public:
    Slider();

    void Draw() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int button) override;
    void MouseUp(int x, int y, int button) override;
    void DragStart(int x, int y) override;
    void Drag(int x, int y) override;
    void DragEnd(int x, int y) override;
    void MouseExit() override;

    void SetListener(Gadget* newListener, bool addAsChild);
    float GetThumbCenter() const;
    bool IsOverThumb(int x, int y) const;

    bool invisible = true;
    float value = 0.0f;
    float thumbWidth = 10.0f;
    float thumbHeight = 10.0f;
    // Track inset at both ends.
    float margin = 0.0f;
    Gadget* listener = nullptr;
    Color trackColor{0, 0, 0, 0};
    Color thumbColor{1, 1, 1, 1};
    Color thumbHoverColor{1, 1, 0, 1};
    Color thumbDragColor{0, 1, 0, 1};
    Sprite* trackSprite = nullptr;
    Sprite* thumbSprite = nullptr;
    Sprite* thumbHoverSprite = nullptr;
    Sprite* thumbDragSprite = nullptr;
    bool thumbDragging = false;
    // Thumb centre minus the pointer at the start of the drag.
    float grabOffset = 0.0f;
    bool thumbHovered = false;

  private:
    float Travel() const { return rect.w - thumbWidth - 2.0f * margin; }
    void DrawThumbSprite();
};
