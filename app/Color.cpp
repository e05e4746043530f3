#include "app/Color.h"

#include <algorithm>

namespace {
const Color kPalette[10] = {
    {1.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 0.5f, 0.0f, 1.0f},    {1.0f, 1.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f},
    {0.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f},    {1.0f, 0.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f},
    {0.0f, 0.0f, 0.0f, 1.0f}, {0.75f, 0.75f, 0.75f, 1.0f},
};

float Unit(float value)
{
    return std::min(std::max(value, 0.0f), 1.0f);
}
} // namespace

void Color::FromPaletteIndex(int index)
{
    if (index < 0)
        return;
    *this = kPalette[index % 10];
}

Color Color::Clamp() const
{
    return Color(Unit(r), Unit(g), Unit(b), Unit(a));
}

Color Color::Brighten(float floor)
{
    *this = Color(r * 1.5f, g * 1.5f, b * 1.5f, a * 1.5f).Clamp();
    r = std::max(r, floor);
    g = std::max(g, floor);
    b = std::max(b, floor);
    return *this;
}
