// A rising text popup with a shadow.
#include "game/Anim_TextFloater.h"

#include "app/Font.h"
#include "app/Graphics.h"
#include "app/Matrix.h"

#include <algorithm>

Anim_TextFloater::Anim_TextFloater(Font* font, const String& text, Point position)
    : Anim_Floater(nullptr, position), text(text), font(font)
{
    name = "Anim_TextFloater";
    if (font != nullptr) {
        halfWidth = float(font->GetWidth(text)) / 2.0f;
    }
}

Anim_TextFloater::~Anim_TextFloater() = default;

void Anim_TextFloater::Draw()
{
    if (font == nullptr) {
        return;
    }
    Graphics& g = theGraphics;
    Matrix m;
    m.Translate(0.0f, -font->mLineHeight / 2.0f, 0.0f);
    m.Scale(scale, scale, scale);
    m.Translate(x, y, 0.0f);
    m.Translate(-halfWidth * scale, 0.0f, 0.0f);

    g.SetColorRGBA(0.0f, 0.0f, 0.0f, std::min(life, 1.0f));
    g.mTranslation.y += 3.0f;
    font->DrawMatrix(text, m);
    g.mTranslation.y -= 3.0f;

    g.SetColor(CurrentColor());
    font->DrawMatrix(text, m);
    g.SetColorWhite();
}

Rect Anim_TextFloater::GetBounds()
{
    const float lineHeight = font != nullptr ? font->mLineHeight : 0.0f;
    return Rect(x - halfWidth, y - lineHeight / 2.0f + 10.0f, 2.0f * halfWidth, lineHeight - 10.0f);
}
