#pragma once

#include <algorithm>
#include <cstdint>

namespace AssetGen {

// A straight (not premultiplied) colour, each channel 0..1.
struct Color
{
    float r = 0, g = 0, b = 0, a = 1;

    static Color Hex(uint32_t rgb, float alpha = 1)
    {
        return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, alpha};
    }
    Color WithAlpha(float alpha) const { return {r, g, b, alpha}; }
    Color Mix(const Color& o, float t) const
    {
        return {r + (o.r - r) * t, g + (o.g - g) * t, b + (o.b - b) * t, a + (o.a - a) * t};
    }
    Color Lighter(float t) const { return Mix(Color{1, 1, 1, a}, t); }
    Color Darker(float t) const { return Mix(Color{0, 0, 0, a}, t); }
};

inline float Clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

inline float SmoothStep(float e0, float e1, float x)
{
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

} // namespace AssetGen
