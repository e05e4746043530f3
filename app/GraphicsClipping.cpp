#include "app/Graphics.h"

#include <cmath>

namespace {
// Component numbers: 0 x, 1 y, 2 z, 3 u, 4 v; any other reads as 0.
template <typename V> float Component(const V& v, int component)
{
    switch (component) {
    case 0:
        return v.x;
    case 1:
        return v.y;
    case 2:
        return v.z;
    case 3:
        return v.u;
    case 4:
        return v.v;
    default:
        return 0.0f;
    }
}

ColoredVertex Lerp(const ColoredVertex& a, const ColoredVertex& b, float t)
{
    return Graphics::LerpColoredVertex(a, b, t);
}

TexturedVertex Lerp(const TexturedVertex& a, const TexturedVertex& b, float t)
{
    return Graphics::LerpTexturedVertex(a, b, t);
}

// One edge of a polygon pass: keeps what lies inside, and the crossing.
template <typename V, typename Inside>
void ClipEdge(int component, float bound, const V& a, const V& b, VertexArray<V>& destination, Inside inside)
{
    const float ca = Component(a, component);
    const float cb = Component(b, component);
    const bool aIn = inside(ca);
    const bool bIn = inside(cb);
    if (aIn && bIn) {
        destination.Append(b);
    } else if (aIn || bIn) {
        destination.Append(Lerp(a, b, (bound - ca) / (cb - ca)));
        if (bIn) {
            destination.Append(b);
        }
    }
}

template <typename V, typename Inside>
void ClipPolygon(int component, float bound, const VertexArray<V>& source, VertexArray<V>& destination,
                 Inside inside)
{
    const int n = source.count;
    if (n < 2) {
        return;
    }
    ClipEdge(component, bound, source.data[n - 1], source.data[0], destination, inside);
    for (int i = 0; i + 1 < n; ++i) {
        ClipEdge(component, bound, source.data[i], source.data[i + 1], destination, inside);
    }
}

struct ClipBounds
{
    float left;
    float right;
    float top;
    float bottom;

    explicit ClipBounds(const Rect& clip)
        : left(clip.x), right(clip.x + clip.w), top(clip.y), bottom(clip.y + clip.h)
    {
    }
    template <typename V> bool IsOutside(const V& v) const
    {
        return v.x < left || v.x > right || v.y < top || v.y > bottom;
    }
};

template <typename V>
bool Transform(const Matrix& world, const ClipBounds& bounds, const V* in, int count, VertexArray<V>& out)
{
    bool outside = false;
    out.Reserve(count);
    for (int i = 0; i < count; ++i) {
        V v = in[i];
        v.x = in[i].x * world.m[0] + in[i].y * world.m[4] + world.m[12];
        v.y = in[i].x * world.m[1] + in[i].y * world.m[5] + world.m[13];
        out.Append(v);
        outside = outside || bounds.IsOutside(v);
    }
    return outside;
}

template <typename V> void ClipAndDraw(Graphics& graphics, const VertexArray<V>& polygon, const Rect& clip)
{
    VertexArray<V> clipped;
    Graphics::ClipPolygonToRect(polygon, clip, clipped);
    if (clipped.count >= 3) {
        graphics.DrawDeviceFan(clipped.data, clipped.count);
    }
}

// Strips: drawn whole when inside, a quad clipped as one polygon, longer
// strips triangle by triangle.
template <typename V>
void DrawStripClipped(Graphics& graphics, const Matrix& world, const Rect& clip, const V* v, int count)
{
    const ClipBounds bounds(clip);
    VertexArray<V> transformed;
    if (!Transform(world, bounds, v, count, transformed)) {
        graphics.DrawDeviceStrip(transformed.data, transformed.count);
        return;
    }
    if (count == 4) {
        Graphics::SwapVertices(transformed.data[2], transformed.data[3]);
        ClipAndDraw(graphics, transformed, clip);
        return;
    }
    if (count < 3) {
        return;
    }
    for (int i = 0; i + 2 < count; ++i) {
        const V* triangle = transformed.data + i;
        if (!bounds.IsOutside(triangle[0]) && !bounds.IsOutside(triangle[1]) &&
            !bounds.IsOutside(triangle[2])) {
            graphics.DrawDeviceStrip(triangle, 3);
        } else {
            VertexArray<V> polygon;
            polygon.Append(triangle[0]);
            polygon.Append(triangle[1]);
            polygon.Append(triangle[2]);
            ClipAndDraw(graphics, polygon, clip);
        }
    }
}

// x, y, u and v between a and b; z and the rest stay a's.
template <typename V> V LerpPlace(const V& a, const V& b, float t)
{
    V out = a;
    out.x = a.x + (b.x - a.x) * t;
    out.y = a.y + (b.y - a.y) * t;
    out.u = a.u + (b.u - a.u) * t;
    out.v = a.v + (b.v - a.v) * t;
    return out;
}

uint32_t LerpChannel(uint32_t a, uint32_t b, int shift, float t)
{
    const float ca = static_cast<float>((a >> shift) & 0xFF);
    const float cb = static_cast<float>((b >> shift) & 0xFF);
    return (static_cast<uint32_t>(static_cast<int>(ca + (cb - ca) * t)) & 0xFF) << shift;
}
} // namespace

void Graphics::DrawColoredStripClipped(const Matrix& world, const Rect& clip, const ColoredVertex* v,
                                       int count)
{
    DrawStripClipped(*this, world, clip, v, count);
}

void Graphics::DrawTexturedStripClipped(const Matrix& world, const Rect& clip, const TexturedVertex* v,
                                        int count)
{
    DrawStripClipped(*this, world, clip, v, count);
}

void Graphics::DrawTexturedListClipped(const Matrix& world, const Rect& clip, const TexturedVertex* v,
                                       int count)
{
    const ClipBounds bounds(clip);
    VertexArray<TexturedVertex> transformed;
    if (!Transform(world, bounds, v, count, transformed)) {
        DrawDeviceList(transformed.data, transformed.count);
        return;
    }
    for (int k = 0; k + 2 < count; k += 3) {
        VertexArray<TexturedVertex> polygon;
        polygon.Append(transformed.data[k]);
        polygon.Append(transformed.data[k + 1]);
        polygon.Append(transformed.data[k + 2]);
        ClipAndDraw(*this, polygon, clip);
    }
}

void Graphics::ClipAndDrawFan(const VertexArray<ColoredVertex>& polygon, const Rect& clip)
{
    ClipAndDraw(*this, polygon, clip);
}

void Graphics::ClipAndDrawFan(const VertexArray<TexturedVertex>& polygon, const Rect& clip)
{
    ClipAndDraw(*this, polygon, clip);
}

template <typename V>
void Graphics::ClipPolygonMin(int component, float bound, const VertexArray<V>& source,
                              VertexArray<V>& destination)
{
    ClipPolygon(component, bound, source, destination, [bound](float value) { return value >= bound; });
}

template <typename V>
void Graphics::ClipPolygonMax(int component, float bound, const VertexArray<V>& source,
                              VertexArray<V>& destination)
{
    ClipPolygon(component, bound, source, destination, [bound](float value) { return value < bound; });
}

template <typename V>
void Graphics::ClipPolygonToRect(const VertexArray<V>& polygon, const Rect& clip, VertexArray<V>& out)
{
    VertexArray<V> a;
    VertexArray<V> b;
    a.Reserve(polygon.count);
    for (int i = 0; i < polygon.count; ++i) {
        a.Append(polygon.data[i]);
    }
    // Whole-pixel bounds: left and top inclusive, right and bottom exclusive.
    const float left = std::trunc(clip.x);
    const float right = std::trunc(left + clip.w);
    const float top = std::trunc(clip.y);
    const float bottom = std::trunc(top + clip.h);
    ClipPolygonMin(0, left, a, b);
    a.Clear();
    ClipPolygonMin(1, top, b, a);
    b.Clear();
    ClipPolygonMax(0, right, a, b);
    ClipPolygonMax(1, bottom, b, out);
}

template <typename V> void Graphics::SwapVertices(V& a, V& b)
{
    const V kept = a;
    a = b;
    b = kept;
}

template void Graphics::ClipPolygonMin(int, float, const VertexArray<ColoredVertex>&,
                                       VertexArray<ColoredVertex>&);
template void Graphics::ClipPolygonMin(int, float, const VertexArray<TexturedVertex>&,
                                       VertexArray<TexturedVertex>&);
template void Graphics::ClipPolygonMax(int, float, const VertexArray<ColoredVertex>&,
                                       VertexArray<ColoredVertex>&);
template void Graphics::ClipPolygonMax(int, float, const VertexArray<TexturedVertex>&,
                                       VertexArray<TexturedVertex>&);
template void Graphics::ClipPolygonToRect(const VertexArray<ColoredVertex>&, const Rect&,
                                          VertexArray<ColoredVertex>&);
template void Graphics::ClipPolygonToRect(const VertexArray<TexturedVertex>&, const Rect&,
                                          VertexArray<TexturedVertex>&);
template void Graphics::SwapVertices(ColoredVertex&, ColoredVertex&);
template void Graphics::SwapVertices(TexturedVertex&, TexturedVertex&);

ColoredVertex Graphics::LerpColoredVertex(const ColoredVertex& a, const ColoredVertex& b, float t)
{
    ColoredVertex out = LerpPlace(a, b, t);
    if (a.color != b.color) {
        out.color = LerpChannel(a.color, b.color, 24, t) | LerpChannel(a.color, b.color, 16, t) |
                    LerpChannel(a.color, b.color, 8, t) | LerpChannel(a.color, b.color, 0, t);
    }
    return out;
}

TexturedVertex Graphics::LerpTexturedVertex(const TexturedVertex& a, const TexturedVertex& b, float t)
{
    return LerpPlace(a, b, t);
}
