#include "app/Rect.h"

#include <algorithm>

namespace {
// Unlike Limit this tolerates a range given backwards (a negative
// bounds width), where the upper limit wins.
float Limit(float value, float low, float high)
{
    return std::min(std::max(value, low), high);
}
} // namespace

Rect& Rect::Assign(const Rect& other)
{
    *this = other;
    return *this;
}

void Rect::Set(float rx, float ry, float rw, float rh)
{
    x = rx;
    y = ry;
    w = rw;
    h = rh;
}

bool Rect::Contains(float px, float py) const
{
    return x <= px && y <= py && px < x + w && py < y + h;
}

bool Rect::Overlaps(float ox, float oy, float ow, float oh) const
{
    return x < ox + ow && y < oy + oh && x + w > ox && y + h > oy;
}

bool Rect::OverlapsRect(const Rect& other) const
{
    return Overlaps(other.x, other.y, other.w, other.h);
}

Rect Rect::Intersection(const Rect& other) const
{
    float left = std::max(x, other.x);
    float top = std::max(y, other.y);
    float right = std::min(x + w, other.x + other.w);
    float bottom = std::min(y + h, other.y + other.h);
    if (right - left >= 0.0f && bottom - top >= 0.0f)
        return Rect(left, top, right - left, bottom - top);
    return Rect();
}

Rect Rect::Union(const Rect& other) const
{
    if (IsAllZero())
        return other;
    float left = std::min(x, other.x);
    float top = std::min(y, other.y);
    float right = std::max(x + w, other.x + other.w);
    float bottom = std::max(y + h, other.y + other.h);
    return Rect(left, top, right - left, bottom - top);
}

void Rect::ClipTo(Rect bounds)
{
    float boundsRight = bounds.x + bounds.w;
    float boundsBottom = bounds.y + bounds.h;
    float left = Limit(x, bounds.x, boundsRight);
    float right = Limit(x + w, bounds.x, boundsRight);
    float top = Limit(y, bounds.y, boundsBottom);
    float bottom = Limit(y + h, bounds.y, boundsBottom);
    Set(left, top, right - left, bottom - top);
}

Rect Rect::Expanded(float d) const
{
    return Rect(x - d, y - d, w + 2.0f * d, h + 2.0f * d);
}
