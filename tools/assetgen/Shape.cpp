#include "tools/assetgen/Shape.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace AssetGen::Shape {
namespace {

constexpr float kPi = 3.14159265358979f;

float Length(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

// Exact distance to a closed polygon, signed by the crossing rule.
float PolygonDistance(const std::vector<Vec2>& v, float px, float py)
{
    float d = (px - v[0].x) * (px - v[0].x) + (py - v[0].y) * (py - v[0].y);
    float s = 1;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
        float wx = px - v[i].x, wy = py - v[i].y;
        float t = std::clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
        float bx = wx - ex * t, by = wy - ey * t;
        d = std::min(d, bx * bx + by * by);
        bool c1 = py >= v[i].y, c2 = py<v[j].y, c3 = ex * wy> ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
            s = -s;
    }
    return s * std::sqrt(d);
}

} // namespace

Sdf Circle(float cx, float cy, float r)
{
    return [=](float x, float y) { return Length(x - cx, y - cy) - r; };
}

Sdf Ellipse(float cx, float cy, float rx, float ry)
{
    float m = std::min(rx, ry);
    return [=](float x, float y) { return (Length((x - cx) / rx, (y - cy) / ry) - 1) * m; };
}

Sdf RoundRect(float x, float y, float w, float h, float radius)
{
    float cx = x + w / 2, cy = y + h / 2, hx = w / 2 - radius, hy = h / 2 - radius;
    return [=](float px, float py) {
        float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
        return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

Sdf Polygon(std::vector<Vec2> points)
{
    return [v = std::move(points)](float x, float y) { return PolygonDistance(v, x, y); };
}

Sdf RoundPolygon(std::vector<Vec2> points, float radius)
{
    // Shrink towards the centroid, then grow back by the radius: the corners
    // come out round and the overall size stays about the same.
    Vec2 c;
    for (const Vec2& p : points) {
        c.x += p.x / points.size();
        c.y += p.y / points.size();
    }
    for (Vec2& p : points) {
        float d = Length(p.x - c.x, p.y - c.y);
        float k = d > radius ? (d - radius) / d : 0;
        p = {c.x + (p.x - c.x) * k, c.y + (p.y - c.y) * k};
    }
    return Grow(Polygon(std::move(points)), radius);
}

Sdf Capsule(Vec2 a, Vec2 b, float r)
{
    return [=](float x, float y) {
        float px = x - a.x, py = y - a.y, ex = b.x - a.x, ey = b.y - a.y;
        float len2 = ex * ex + ey * ey;
        float t = len2 > 0 ? std::clamp((px * ex + py * ey) / len2, 0.0f, 1.0f) : 0;
        return Length(px - ex * t, py - ey * t) - r;
    };
}

std::vector<Vec2> StarPoints(float cx, float cy, float outer, float inner, int n, float turnDegrees)
{
    std::vector<Vec2> p;
    for (int i = 0; i < 2 * n; ++i) {
        float a = (turnDegrees - 90) * kPi / 180 + i * kPi / n;
        float r = (i % 2) ? inner : outer;
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return p;
}

std::vector<Vec2> RegularPoints(float cx, float cy, float r, int n, float turnDegrees)
{
    std::vector<Vec2> p;
    for (int i = 0; i < n; ++i) {
        float a = (turnDegrees - 90) * kPi / 180 + i * 2 * kPi / n;
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return p;
}

Sdf Union(Sdf a, Sdf b)
{
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Sdf Intersect(Sdf a, Sdf b)
{
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Sdf Subtract(Sdf a, Sdf b)
{
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Sdf Grow(Sdf a, float by)
{
    return [=](float x, float y) { return a(x, y) - by; };
}

Sdf Ring(Sdf a, float width)
{
    return [=](float x, float y) { return std::fabs(a(x, y)) - width / 2; };
}

Sdf Translate(Sdf a, float dx, float dy)
{
    return [=](float x, float y) { return a(x - dx, y - dy); };
}

} // namespace AssetGen::Shape
