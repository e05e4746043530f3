// The general particle effect.
#include "game/Anim_Sprite.h"

#include "app/Graphics.h"
#include "app/Sprite.h"
#include "app/SpriteStrip.h"

#include <algorithm>

Anim_Sprite::Anim_Sprite()
{
    name = "Anim_Sprite";
}

Anim_Sprite::~Anim_Sprite() = default;

// Killing does not cut the tick short: the rest of the state still moves.
void Anim_Sprite::Update()
{
    x += vx;
    y += vy;
    vx = (vx + accelX) * dampX;
    vy = (vy + accelY) * dampY;
    if (!bounds.Contains(x, y)) {
        Kill();
    }
    fade = (fade + fadeChange) * fadeFactor;
    if (fade <= 0.0f) {
        Kill();
    }
    scale = (scale + scaleChange) * scaleFactor;
    if (scale <= 0.0f) {
        Kill();
    }
    rotation = (rotation + spin) * spinFactor;
    r += dr;
    g += dg;
    b += db;
    a += da;
    if (strip != nullptr) {
        frame += frameSpeed;
        if (frame >= float(strip->mFrameCount)) {
            Kill();
        }
    }
}

void Anim_Sprite::Draw()
{
    Sprite* image = sprite;
    if (strip != nullptr) {
        image = strip->GetFrame(int(frame));
    }
    if (image == nullptr) {
        return;
    }
    Graphics& gr = theGraphics;
    if (additive) {
        gr.SetAdditive(true);
    }
    gr.SetColorRGBA(r, g, b, std::min(fade, 1.0f));
    image->DrawRotated(x, y, rotation, scale);
    if (additive) {
        gr.SetAdditive(false);
    }
    gr.SetColorWhite();
}
