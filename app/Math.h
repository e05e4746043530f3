#pragma once

#include "app/Point.h"

#include <bit>
#include <cstdint>

class Random;

// Degree-based trigonometry and integer helpers.
class Math
{
  public:
    // One unit in the last place below the float nearest to pi. Every degree
    // conversion uses this value, so angles must come out the same.
    static constexpr float PI = std::bit_cast<float>(0x40490FDAu);

    static float SinDegrees(float degrees);
    // 0 degrees points up the screen (0, -1), 90 to the right (1, 0):
    // angles grow clockwise on screen.
    static void AngleToVector(float degrees, Point& out);
    // Draws from the shared generator when "random" is null.
    static void RandomDirection(Random* random, Point& out);
    static float Distance(float x1, float y1, float x2, float y2);
    // n must not exceed 2^30.
    static int32_t NextPowerOfTwo(int32_t n);
    static bool IsPowerOfTwo(int32_t n);
    // a + b held at the ends of the int32 range instead of overflowing:
    // for counters that grow with play.
    static int32_t AddSaturated(int32_t a, int32_t b);
};

// Index of the lowest set bit; 0 for a zero mask.
int LowestSetBit(uint32_t mask);
