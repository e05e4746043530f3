// Pushing overlapping rectangles apart.
#include "game/Clutter.h"

Clutter::Clutter()
{
    // unbuilt
}

Clutter::~Clutter()
{
    // unbuilt
}

void Clutter::Add(Rect /*rect*/, bool /*fixed*/)
{
    // unbuilt
}

void Clutter::Relax()
{
    // unbuilt
}

Point Clutter::GetOffset(int /*i*/) const
{
    // unbuilt
    return {};
}

bool Clutter::FindOverlap(const WorkRect& /*record*/, Rect* /*out*/) const
{
    // unbuilt
    return {};
}
