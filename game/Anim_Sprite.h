#pragma once
// The general particle: a moving, fading, scaling, spinning sprite or strip.

#include "app/Object.h"
#include "app/Rect.h"

#include <cstdint>

class Sprite;
class SpriteStrip;

class Anim_Sprite : public Object
{
  public:
    Anim_Sprite();
    ~Anim_Sprite() override;

    void Update() override;
    void Draw() override;

    Sprite* sprite = nullptr;
    SpriteStrip* strip = nullptr;
    float frame = 0.0f;
    float frameSpeed = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float vx = 0.0f;
    float vy = 0.0f;
    float dampX = 1.0f;
    float dampY = 1.0f;
    float accelX = 0.0f;
    float accelY = 0.0f;
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f; // changes with the colour, but the fade is the alpha drawn
    float dr = 0.0f;
    float dg = 0.0f;
    float db = 0.0f;
    float da = 0.0f;
    float fade = 1.0f;
    float fadeChange = 0.0f;
    float fadeFactor = 1.0f;
    float scale = 1.0f;
    float scaleChange = 0.0f;
    float scaleFactor = 1.0f;
    float rotation = 0.0f;
    float spin = 0.0f;
    float spinFactor = 1.0f;
    Rect bounds{-200.0f, -200.0f, 1200.0f, 1000.0f};
    uint8_t additive = 0;
};
