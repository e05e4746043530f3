#pragma once
// A colour that cycles through timed colour keys.

#include "app/Color.h"

#include <vector>

class ColorCycler
{
  public:
    struct Key {
        float start = 0.0f;
        float r = 0.0f;
        float g = 0.0f;
        float b = 0.0f;
        float a = 0.0f;
    };

    ColorCycler();
    virtual ~ColorCycler();

    void AddColor(float r, float g, float b, float a, float duration);
    void CloseLoop();
    Color GetColor(float t) const;

    std::vector<Key> keys;
    float totalTime = 0.0f; // start of the next key
};
