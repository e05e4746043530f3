#pragma once
// A jigsaw piece won on the journey map, flying to the jigsaw icon.

#include "app/Object.h"
#include "app/Point.h"

#include <cstdint>

class Gadget;
class Map;
class Sprite;

class Anim_Puzzle : public Object
{
  public:
    Anim_Puzzle(Gadget* source, Map* map);
    ~Anim_Puzzle() override;

    void Update() override;
    void Draw() override;

    Gadget* source = nullptr; // disabled while the effect lives
    Map* map = nullptr;
    float x = 0.0f;
    float y = 0.0f;
    float rotation = 0.0f;
    float spin = 0.0f;
    float size = 1.0f;
    float phase = 0.0f;
    float pulse = 1.0f;
    int32_t state = 0;
    Sprite* sprite = nullptr;
    float glow = 1.0f;

  protected:
    // The glow, pulse and spin of every tick.
    void Spin();
    // One tick of the flight to target, then of the shrink; true on arrival
    // (the effect has killed itself).
    bool Fly(Point target);
    void DrawPiece(float offset, float radius, float scale);
};
