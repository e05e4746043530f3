#pragma once
// A sprite that pops in, rises, fades and cycles through the palette.

#include "app/Color.h"
#include "app/Object.h"
#include "app/Point.h"
#include "app/Rect.h"

class Sprite;

class Anim_Floater : public Object
{
  public:
    Anim_Floater(Sprite* sprite, Point position);
    ~Anim_Floater() override;

    void Update() override;
    void Draw() override;
    // The rectangle it covers, for the board's Clutter.
    virtual Rect GetBounds();
    // The palette colour of the current phase, brightened, alpha from life.
    Color CurrentColor() const;

    Sprite* sprite = nullptr;
    float colorPhase = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float life = 2.0f;
    float scale = 0.0f;
    // Set when made, cleared by the floater once it has settled.
    bool settling = true;
};
