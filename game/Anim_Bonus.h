#pragma once
// A bonus item won on the journey map, flying to its power slot.

#include "game/Anim_Puzzle.h"

class Anim_Bonus : public Anim_Puzzle
{
  public:
    Anim_Bonus(Gadget* source, Map* map);
    ~Anim_Bonus() override;

    void Update() override;
    void Draw() override;

    float targetX = 0.0f;
    float targetY = 0.0f;
};
