// A rising, fading, colour-cycling sprite.
#include "game/Anim_Floater.h"

#include "app/Color.h"
#include "app/Graphics.h"
#include "app/Random.h"
#include "app/Sprite.h"

#include <algorithm>

Anim_Floater::Anim_Floater(Sprite* sprite, Point position) : sprite(sprite), x(position.x), y(position.y)
{
    name = "Anim_Floater";
    colorPhase = theRandom->GetFloatScaled(8.0f);
}

Anim_Floater::~Anim_Floater() = default;

void Anim_Floater::Update()
{
    colorPhase += 0.1f;
    if (colorPhase >= 7.0f) {
        colorPhase -= 7.0f;
    }
    life -= 0.02f;
    if (life <= 0.0f) {
        Kill();
    }
    y -= 0.1f;
    scale = std::min(scale + 0.1f, 1.0f);
    if (scale >= 1.0f) {
        settling = false;
    }
}

Color Anim_Floater::CurrentColor() const
{
    Color c;
    c.FromPaletteIndex(int(colorPhase));
    c.Brighten(0.5f);
    c.a = std::min(life, 1.0f);
    return c;
}

void Anim_Floater::Draw()
{
    if (sprite == nullptr) {
        return;
    }
    theGraphics.SetColor(CurrentColor());
    sprite->DrawRotated(x, y, 0.0f, scale);
    theGraphics.SetColorWhite();
}

Rect Anim_Floater::GetBounds()
{
    if (sprite == nullptr) {
        return Rect(x, y, 0.0f, 0.0f);
    }
    const float w = float(sprite->mWidth);
    const float h = float(sprite->mHeight);
    return Rect(x - w / 2.0f, y - h / 2.0f, w, h);
}
