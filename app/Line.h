#pragma once

#include "app/Point.h"

// A line segment from (x1, y1) to (x2, y2).
class Line
{
  public:
    float x1 = 0.0f;
    float y1 = 0.0f;
    float x2 = 0.0f;
    float y2 = 0.0f;

    Line() = default;
    Line(float ax, float ay, float bx, float by) : x1(ax), y1(ay), x2(bx), y2(by) {}

    Line& Assign(const Line& other);
    // True when the segments meet; the meeting point goes to "where" when
    // one is given. Segments meeting exactly at an end point count.
    bool Intersect(const Line& other, Point* where) const;
};
