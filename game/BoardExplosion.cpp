// Explosions of super pieces.
#include "game/Board.h"

#include "app/Math.h"
#include "app/Random.h"
#include "game/Anim_Sprite.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

namespace {

Anim_Sprite* MakeParticle(Sprite* sprite, Point at)
{
    auto* particle = new Anim_Sprite();
    particle->sprite = sprite;
    particle->x = at.x;
    particle->y = at.y;
    return particle;
}

} // namespace

void Board::Explode(Point point)
{
    if (Quorb* centre = PieceAt(point.x, point.y))
        centre->ExplosionHit();

    for (int angle = 0; angle < 360; angle += 45) {
        Point dir;
        Math::AngleToVector(static_cast<float>(angle), dir);
        const float out = cellSize / 2.0f * (1.0f - theRandom->GetFloatScaled(0.75f));
        Anim_Sprite* debris = MakeParticle(app != nullptr ? &app->sprSmoke : nullptr,
                                           Point(point.x + dir.x * out, point.y + dir.y * out));
        debris->vx = dir.x * 0.25f;
        debris->vy = dir.y * 0.25f;
        debris->rotation = theRandom->GetFloatScaled(360.0f);
        const float spin = 2.0f + theRandom->GetFloatScaled(0.5f, true);
        debris->spin = theRandom->RandomSignFloat(spin);
        debris->fade = 0.75f;
        debris->fadeChange = (theRandom->GetFloatScaled(0.02f, true) - 0.02f) * 0.5f;
        debris->scale = 1.0f + theRandom->GetFloatScaled(0.25f, true);
        effects.Add(debris);
    }

    Anim_Sprite* flash = MakeParticle(app != nullptr ? &app->sprFlash : nullptr, point);
    flash->scale = 2.0f * pieceScale;
    flash->fadeChange = -0.015f;
    effects.Add(flash);

    Anim_Sprite* ring = MakeParticle(nullptr, point);
    ring->strip = app != nullptr ? &app->stripExplosion : nullptr;
    ring->frameSpeed = 0.2f;
    ring->additive = 1;
    ring->scale = 4.0f * pieceScale;
    ring->scaleChange = 0.02f;
    ring->fadeChange = -0.02f;
    effects.Add(ring);

    const float rate = 1.0f + theRandom->GetFloatScaled(0.1f);
    if (app != nullptr)
        app->sndBomb.PlayPitched(rate, 1.0f);
    shake = 10.0f;

    const Point around[8] = {Point(-1, -1), Point(0, -1), Point(1, -1), Point(-1, 0),
                             Point(1, 0),   Point(-1, 1), Point(0, 1),  Point(1, 1)};
    for (const Point& offset : around) {
        Quorb* piece = PieceAt(point.x + offset.x * cellSize, point.y + offset.y * cellSize);
        if (piece == nullptr)
            continue;
        piece->ExplosionHit();
        OnPiecePopped(piece);
    }

    refillPending = true;
    repairCountdown = 10;
    PieceMoveDone();
}
