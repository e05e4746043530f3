#include "app/Shader.h"

Shader::Shader(const Color& color)
{
    SetColor(color);
}

void Shader::SetColor(const Color& color)
{
    mDiffuse = color;
    // A NaN alpha compares unequal too, so it counts as translucent.
    mTranslucent = !(color.a == 1.0f);
}
