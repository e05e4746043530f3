// Colours cycling through timed keys.
#include "game/ColorCycler.h"

ColorCycler::ColorCycler()
{
    // unbuilt
}

ColorCycler::~ColorCycler()
{
    // unbuilt
}

void ColorCycler::AddColor(float /*r*/, float /*g*/, float /*b*/, float /*a*/, float /*duration*/)
{
    // unbuilt
}

void ColorCycler::CloseLoop()
{
    // unbuilt
}

Color ColorCycler::GetColor(float /*t*/) const
{
    // unbuilt
    return {};
}
