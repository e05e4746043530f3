#pragma once

#include <cstdint>

// A position in whole pixels.
struct IntPoint
{
    int32_t x = 0;
    int32_t y = 0;

    IntPoint() = default;
    IntPoint(int32_t px, int32_t py) : x(px), y(py) {}

    IntPoint& Assign(const IntPoint& other);
};
