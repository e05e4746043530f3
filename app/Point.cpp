#include "app/Point.h"

#include <cmath>

Point& Point::Assign(const Point& other)
{
    x = other.x;
    y = other.y;
    return *this;
}

float Point::Length() const
{
    float squared = x * x + y * y;
    if (!(squared > 0.0f))
        return 0.0f;
    return std::sqrt(squared);
}

void Point::SetLength(float length)
{
    float current = Length();
    if (current == 0.0f)
        return;
    float factor = length / current;
    x *= factor;
    y *= factor;
}
