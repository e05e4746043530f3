// Drawing a piece.
#include "app/App.h"
#include "app/Graphics.h"
#include "app/Keyboard.h"
#include "app/Math.h"
#include "app/Random.h"
#include "app/Sprite.h"
#include "game/Board.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"
#include "platform/Keyboard.h"

#include <algorithm>
#include <cmath>

namespace {

// Puts the colour asked for back when it goes (the colour stack keeps only
// the multiplied colour).
struct KeepColor
{
    Color saved = theGraphics.mRequestedColor;
    KeepColor() = default;
    KeepColor(const KeepColor&) = delete;
    KeepColor& operator=(const KeepColor&) = delete;
    ~KeepColor() { theGraphics.SetColor(saved); }
};

Sprite* PieceSprite(QuorbSwapApp* app, int slot, int frame)
{
    if (slot < 0 || slot >= kPieceArtSlots || frame < 0 || frame >= kPieceVariants) {
        return nullptr;
    }
    return &app->boardPieceSprites[slot * kPieceVariants + frame];
}

int AppTicks()
{
    return theApp != nullptr ? theApp->updateCount : 0;
}

// The selection glow: the silhouette in white rings out, then in black.
void DrawGlow(Sprite* sprite, Point pos, float scale)
{
    Graphics& g = theGraphics;
    g.SetColorFill(true);
    const struct
    {
        float radius;
        float shade;
    } rings[] = {{8.0f, 1.0f}, {2.0f, 0.0f}};
    for (const auto& ring : rings) {
        g.SetColorRGBA(ring.shade, ring.shade, ring.shade, 1.0f);
        for (int a = 0; a < 360; a += 10) {
            Point d;
            Math::AngleToVector(float(a), d);
            sprite->DrawRotated(pos.x + d.x * ring.radius, pos.y + d.y * ring.radius, 0.0f, scale);
        }
    }
    g.SetColorFill(false);
}

} // namespace

// A flying skull is not drawn here: the board's flying-piece step draws it
// once, above the frame.
void Quorb::Draw()
{
    if (app == nullptr || board == nullptr) {
        return;
    }
    Graphics& g = theGraphics;
    const int slot = skull ? kSkullArtSlot : kind;

    if (popping) {
        Sprite* sprite = PieceSprite(app, slot, 0);
        if (sprite == nullptr) {
            return;
        }
        sprite->DrawRotated(pos.x, pos.y, 0.0f, 1.0f - popScale);
        if (popFlash > 0.0f) {
            KeepColor keep;
            g.SetColorRGBA(1.0f, 1.0f, 1.0f, std::min(popFlash, 1.0f));
            g.SetColorFill(true);
            sprite->DrawRotated(pos.x, pos.y, 0.0f, 1.0f - popScale);
            g.SetColorFill(false);
        }
        return;
    }

    const bool active = swapping || hitShaking || super;
    int frame = 0;
    if (skull) {
        frame = active ? 1 : (animPhase / 50) % 2;
    } else {
        frame = active || blinkTimer > 0 ? 1 : 0;
    }
    Sprite* sprite = PieceSprite(app, slot, frame);
    if (sprite == nullptr) {
        return;
    }

    g.PushTranslation();
    g.mTranslation.x += drawOffset.x + shakeOffset.x;
    g.mTranslation.y += drawOffset.y + shakeOffset.y;

    if (board->selected == this) {
        KeepColor keep;
        DrawGlow(PieceSprite(app, slot, 0), pos, scale);
    }
    sprite->DrawRotated(pos.x, pos.y, 0.0f, scale);

    if (skull && theKeyboard.IsKeyDown(Platform::KeyCode::Space)) {
        Sprite* own = PieceSprite(app, kind, active ? 1 : 0);
        if (own != nullptr) {
            own->DrawRotated(pos.x, pos.y, 0.0f, scale);
        }
        if (levelSkull) {
            KeepColor keep;
            const float r = theRandom->GetFloat();
            const float gr = theRandom->GetFloat();
            const float b = theRandom->GetFloat();
            g.SetColorRGBA(r, gr, b, 1.0f);
            g.FillRect(pos.x, pos.y, 10.0f, 10.0f);
        }
    }
    if (skull && hitPoints < 2) {
        app->sprSkullCrack.DrawRotated(pos.x, pos.y, 0.0f, scale);
    }
    if (super) {
        KeepColor keep;
        g.SetColorRGBA(1.0f, 1.0f, 1.0f, 0.75f * std::fabs(Math::SinDegrees(1.5f * pulsePhase)));
        g.SetColorFill(true);
        sprite->DrawRotated(pos.x, pos.y, 0.0f, scale);
        g.SetColorFill(false);
    }
    g.PopTranslation();
}

// The fly-in of a skull, drawn by the board above its frame.
void Quorb::DrawFlying()
{
    if (app == nullptr || !flying) {
        return;
    }
    Sprite* sprite = PieceSprite(app, kSkullArtSlot, 1 + (AppTicks() / 20) % 2);
    sprite->DrawRotated(flyPos.x, flyPos.y, 0.0f, flyScale);
}
