#include "app/Math.h"

#include "app/Random.h"

#include <algorithm>
#include <climits>
#include <cmath>

float Math::SinDegrees(float degrees)
{
    return float(std::sin(double(PI * degrees / 180.0f)));
}

void Math::AngleToVector(float degrees, Point& out)
{
    // The angle is a float; the sine and cosine are taken in double
    // precision as the C library's sin and cos do.
    double radians = PI * degrees / 180.0f;
    out.x = float(std::sin(radians));
    out.y = float(-std::cos(radians));
}

void Math::RandomDirection(Random* random, Point& out)
{
    Random* source = random ? random : theRandom;
    AngleToVector(source->GetFloatScaled(360.0f, false), out);
}

float Math::Distance(float x1, float y1, float x2, float y2)
{
    float dx = x2 - x1;
    float dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

int32_t Math::NextPowerOfTwo(int32_t n)
{
    // Capped at 2^30 so a larger n cannot overflow the doubling.
    int32_t power = 1;
    while (power < n && power < (1 << 30))
        power *= 2;
    return power;
}

int32_t Math::AddSaturated(int32_t a, int32_t b)
{
    const int64_t sum = int64_t(a) + b;
    return int32_t(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

bool Math::IsPowerOfTwo(int32_t n)
{
    return n >= 1 && (n & (n - 1)) == 0;
}

int LowestSetBit(uint32_t mask)
{
    if (mask == 0)
        return 0;
    return std::countr_zero(mask);
}
