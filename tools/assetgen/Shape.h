#pragma once

#include <functional>
#include <vector>

namespace AssetGen {

struct Vec2
{
    float x = 0, y = 0;
};

// A shape as a signed distance in pixels: negative inside, positive outside.
// Distances give anti-aliased edges, outlines and insets for free.
using Sdf = std::function<float(float x, float y)>;

namespace Shape {

Sdf Circle(float cx, float cy, float r);
Sdf Ellipse(float cx, float cy, float rx, float ry);
Sdf RoundRect(float x, float y, float w, float h, float radius);
Sdf Polygon(std::vector<Vec2> points);
Sdf RoundPolygon(std::vector<Vec2> points, float radius);
Sdf Capsule(Vec2 a, Vec2 b, float r);
// A regular star or (inner == outer) polygon with n points, the first up.
std::vector<Vec2> StarPoints(float cx, float cy, float outer, float inner, int n, float turnDegrees = 0);
std::vector<Vec2> RegularPoints(float cx, float cy, float r, int n, float turnDegrees = 0);

Sdf Union(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
Sdf Grow(Sdf a, float by);
Sdf Ring(Sdf a, float width);
Sdf Translate(Sdf a, float dx, float dy);

} // namespace Shape
} // namespace AssetGen
