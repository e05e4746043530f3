#include "app/Line.h"

#include <algorithm>

namespace {
// The other segment's own parameter is never computed: a point on this
// segment must merely fall inside the other's slightly widened bounding box,
// which is what lets end-point contacts and axis-parallel segments count.
constexpr float kBoxTolerance = 0.0001f;

bool WithinSpan(float value, float a, float b)
{
    return std::min(a, b) - kBoxTolerance <= value && value <= std::max(a, b) + kBoxTolerance;
}
} // namespace

Line& Line::Assign(const Line& other)
{
    *this = other;
    return *this;
}

bool Line::Intersect(const Line& other, Point* where) const
{
    float den = (other.y2 - other.y1) * (x2 - x1) - (other.x2 - other.x1) * (y2 - y1);
    if (den == 0.0f)
        return false;
    float t = ((other.x2 - other.x1) * (y1 - other.y1) - (other.y2 - other.y1) * (x1 - other.x1)) / den;
    if (t < 0.0f || t > 1.0f)
        return false;
    Point hit(x1 + t * (x2 - x1), y1 + t * (y2 - y1));
    if (!WithinSpan(hit.x, other.x1, other.x2) || !WithinSpan(hit.y, other.y1, other.y2))
        return false;
    if (where)
        *where = hit;
    return true;
}
