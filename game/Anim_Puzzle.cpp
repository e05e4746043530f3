// A won jigsaw piece flying to the jigsaw icon.
#include "game/Anim_Puzzle.h"

#include "app/Gadget.h"
#include "app/Graphics.h"
#include "app/Math.h"
#include "app/Sprite.h"
#include "game/Map.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>
#include <cmath>

namespace {
const Point kJigsawIcon(745.0f, 489.0f);
} // namespace

Anim_Puzzle::Anim_Puzzle(Gadget* source, Map* map) : source(source), map(map)
{
    name = "Anim_Puzzle";
    if (source != nullptr) {
        source->CoreMouseExit();
        source->disabled = true;
    }
    if (theQuorbSwapApp != nullptr) {
        theQuorbSwapApp->sndClickBonus.Play(1.0f);
    }
}

Anim_Puzzle::~Anim_Puzzle()
{
    if (source != nullptr) {
        source->CoreMouseExit();
        source->disabled = false;
    }
}

void Anim_Puzzle::Spin()
{
    glow = std::max(glow - 0.01f, 0.0f);
    phase += 1.0f;
    pulse = 1.0f + 0.2f * Math::SinDegrees(5.0f * phase);
    rotation += spin;
    spin = std::min(spin + 0.05f, 3.0f);
}

bool Anim_Puzzle::Fly(Point target)
{
    if (state == 0) {
        size = std::min(size + 0.01f, 1.0f);
        if (size >= 1.0f) {
            float dx = target.x - x;
            float dy = target.y - y;
            const float length = std::sqrt(dx * dx + dy * dy);
            if (length <= 5.0f) {
                state = 1;
            }
            if (length > 0.0f) {
                dx /= length;
                dy /= length;
            }
            x += 3.0f * dx;
            y += 3.0f * dy;
        }
        return false;
    }
    size = std::max(size - 0.03f, 0.0f);
    if (size <= 0.0f) {
        Kill();
        return true;
    }
    return false;
}

void Anim_Puzzle::Update()
{
    Spin();
    if (Fly(kJigsawIcon) && map != nullptr) {
        map->OnPuzzleArrived();
    }
}

void Anim_Puzzle::DrawPiece(float offset, float radius, float scale)
{
    if (sprite == nullptr) {
        return;
    }
    Graphics& g = theGraphics;
    // The ring of copies, first as a shadow, then as a white outline.
    auto ring = [&]() {
        for (int a = 0; a < 360; a += 20) {
            Point d;
            Math::AngleToVector(float(a), d);
            sprite->DrawRotated(x + d.x * radius, y + d.y * radius, rotation, scale);
        }
    };
    g.SetColorRGBA(0.0f, 0.0f, 0.0f, 1.0f);
    g.mTranslation.x += offset;
    g.mTranslation.y += offset;
    ring();
    g.mTranslation.x -= offset;
    g.mTranslation.y -= offset;

    g.SetColorWhite();
    g.SetColorFill(true);
    ring();
    g.SetColorFill(false);
    sprite->DrawRotated(x, y, rotation, scale);

    if (glow != 0.0f) {
        g.SetColorRGBA(1.0f, 1.0f, 1.0f, glow);
        g.SetColorFill(true);
        sprite->DrawRotated(x, y, rotation, scale);
        g.SetColorFill(false);
    }
    g.SetColorWhite();
}

void Anim_Puzzle::Draw()
{
    DrawPiece(10.0f * size, 5.0f * size * pulse, pulse * size);
}
