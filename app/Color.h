#pragma once

// A colour as four channels, each nominally 0..1.
struct Color
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    Color() = default;
    Color(float cr, float cg, float cb, float ca) : r(cr), g(cg), b(cb), a(ca) {}

    // The preset palette by index modulo 10: red, orange, yellow, green,
    // cyan, blue, magenta, white, black, grey. A negative index changes
    // nothing.
    void FromPaletteIndex(int index);
    Color Clamp() const;
    // Channels times 1.5, limited to 0..1, then r, g and b raised to at
    // least "floor" (alpha is not); changes this colour and returns a copy.
    Color Brighten(float floor);
};
