// A won bonus item flying to its power slot.
#include "game/Anim_Bonus.h"

#include "game/Map.h"

Anim_Bonus::Anim_Bonus(Gadget* source, Map* map) : Anim_Puzzle(source, map)
{
    name = "Anim_Bonus";
}

Anim_Bonus::~Anim_Bonus() = default;

void Anim_Bonus::Update()
{
    Spin();
    if (rotation >= 360.0f) {
        rotation -= 360.0f;
    }
    if (Fly(Point(targetX, targetY)) && map != nullptr) {
        map->OnBonusArrived();
    }
}

// The size is not drawn: its countdown only delays the arrival.
void Anim_Bonus::Draw()
{
    DrawPiece(10.0f, 5.0f * pulse, pulse);
}
