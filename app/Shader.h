#pragma once

#include "app/Color.h"

#include <cstdint>

class Texture;

// How a texture is applied before drawing: its colour, translucency and the
// texture itself.
class Shader
{
  public:
    Shader() = default;
    explicit Shader(const Color& color);
    virtual ~Shader() = default;

    void SetColor(const Color& color);

    // The material: diffuse (the shader's colour), ambient, specular,
    // emissive, four floats each, then the power.
    Color mDiffuse{0, 0, 0, 0};
    Color mAmbient{0, 0, 0, 0};
    Color mSpecular{0, 0, 0, 0};
    Color mEmissive{0, 0, 0, 0};
    float mPower = 0.0f;
    uint8_t mTranslucent = 0;
    Texture* mTexture = nullptr; // not owned
};
