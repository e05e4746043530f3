#pragma once

#include "app/compatibility/RasterTypes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

// The integer scan conversion every triangle rasteriser shares: vertices sorted by y,
// a long edge and two short edges walked in 16.16, rows from the first sample at or
// below the top to the last above the bottom, pixels from the first sample at or right
// of the left edge to the last left of the right edge. Interpolants carry one
// horizontal and one vertical step each.
//
// Products and sums wrap (two's complement, defined), so no input can misbehave; every
// row is held to the surface and every span to the surface and to the triangle's own
// x range (give or take a pixel of stepping error), so an edge whose slope leaves the
// 16.16 range cannot throw a span across the surface.
namespace Compatibility::Walk {

constexpr int64_t kOne48 = int64_t(1) << 48;

constexpr int64_t Ceil16(int64_t q)
{
    return (q + 0xFFFF) >> 16;
}

constexpr int64_t Product(int64_t a, int64_t b)
{
    return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

constexpr int32_t Low32(int64_t v)
{
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

// The fields a rasteriser interpolates: the colour (a, r, g, b) and/or the texel
// coordinates (u, v), in that order.
template <bool Color, bool UV> struct Fields
{
    static constexpr int kCount = (Color ? 4 : 0) + (UV ? 2 : 0);
    static constexpr int kColor = 0;
    static constexpr int kU = Color ? 4 : 0;
    static constexpr int kV = kU + 1;

    static constexpr std::array<int32_t RasterVertex::*, kCount> Members()
    {
        std::array<int32_t RasterVertex::*, kCount> members{};
        int i = 0;
        if constexpr (Color) {
            members[i++] = &RasterVertex::a;
            members[i++] = &RasterVertex::r;
            members[i++] = &RasterVertex::g;
            members[i++] = &RasterVertex::b;
        }
        if constexpr (UV) {
            members[i++] = &RasterVertex::u;
            members[i++] = &RasterVertex::v;
        }
        return members;
    }
};

template <class F> struct Edges
{
    static constexpr int N = F::kCount;
    static constexpr int kSlots = N > 0 ? N : 1;

    int32_t xLong = 0;
    int32_t slopeLong = 0;
    int32_t xShort = 0;
    int32_t slopeShort = 0;
    std::array<int32_t, kSlots> onLong{};
    std::array<int32_t, kSlots> stepLong{};
    std::array<int32_t, kSlots> stepX{};

    void Advance(int64_t rows)
    {
        xLong = Low32(xLong + Product(slopeLong, rows));
        xShort = Low32(xShort + Product(slopeShort, rows));
        for (int i = 0; i < N; ++i) {
            onLong[i] = Low32(onLong[i] + Product(stepLong[i], rows));
        }
    }
};

// Calls span(row, firstX, count, values, stepX) for every non-empty span, where values
// are the interpolants at the first pixel.
template <class F, class SpanFn>
void WalkTriangle(const RasterVertex* vertices, const RasterTarget& target, SpanFn&& span)
{
    constexpr int N = F::kCount;
    constexpr auto members = F::Members();
    const RasterVertex* v0 = &vertices[0];
    const RasterVertex* v1 = &vertices[1];
    const RasterVertex* v2 = &vertices[2];
    if (v0->y > v1->y) {
        std::swap(v0, v1);
    }
    if (v1->y > v2->y) {
        std::swap(v1, v2);
    }
    if (v0->y > v1->y) {
        std::swap(v0, v1);
    }
    const int64_t yTop = Ceil16(v0->y);
    const int64_t yMid = Ceil16(v1->y);
    const int64_t yEnd = Ceil16(v2->y);
    if (yTop >= yEnd) {
        return;
    }

    Edges<F> e;
    const int64_t recipLong = kOne48 / (int64_t(v2->y) - v0->y);
    e.slopeLong = Low32(Product(recipLong, int64_t(v2->x) - v0->x) >> 32);
    for (int i = 0; i < N; ++i) {
        e.stepLong[i] = Low32(Product(recipLong, int64_t(v2->*members[i]) - v0->*members[i]) >> 32);
    }
    const int64_t midHeight = int64_t(v1->y) - v0->y;
    const int32_t xAtMid = Low32(v0->x + (Product(e.slopeLong, midHeight) >> 16));
    if (xAtMid == v1->x) {
        return;
    }
    const bool longIsLeft = xAtMid < v1->x;
    if constexpr (N > 0) {
        const int64_t recipW = kOne48 / (int64_t(v1->x) - xAtMid);
        for (int i = 0; i < N; ++i) {
            int64_t d =
                int64_t(v1->*members[i]) - v0->*members[i] - (Product(e.stepLong[i], midHeight) >> 16);
            e.stepX[i] = Low32(Product(d, recipW) >> 32);
        }
    }

    const int64_t preStep = (yTop << 16) - v0->y;
    e.xLong = Low32(v0->x + (Product(e.slopeLong, preStep) >> 16));
    for (int i = 0; i < N; ++i) {
        e.onLong[i] = Low32(v0->*members[i] + (Product(e.stepLong[i], preStep) >> 16));
    }

    const int32_t minX = std::min({v0->x, v1->x, v2->x});
    const int32_t maxX = std::max({v0->x, v1->x, v2->x});
    const int64_t spanLo = std::max<int64_t>(0, minX >> 16);
    const int64_t spanHi = std::min<int64_t>(target.width, Ceil16(maxX) + 1);

    // The rows work on their own copies of the edges, the bounds and the span function,
    // which the span's stores can never reach: kept in registers, not read again after
    // every span.
    auto rows = [&e, &target, longIsLeft, spanLo, spanHi, &span](int64_t first, int64_t end) {
        Edges<F> w = e;
        auto draw = span;
        const bool leftIsLong = longIsLeft;
        const int64_t lo = spanLo;
        const int64_t hi = spanHi;
        const int64_t height = target.height;
        int64_t from = std::clamp<int64_t>(first, 0, height);
        int64_t to = std::clamp<int64_t>(end, from, height);
        w.Advance(from - first);
        for (int64_t y = from; y < to; ++y) {
            int64_t left = Ceil16(leftIsLong ? w.xLong : w.xShort);
            int64_t right = Ceil16(leftIsLong ? w.xShort : w.xLong);
            left = std::max(left, lo);
            right = std::min(right, hi);
            if (right > left) {
                std::array<int32_t, Edges<F>::kSlots> values{};
                for (int i = 0; i < N; ++i) {
                    values[i] = Low32(w.onLong[i] + (Product(w.stepX[i], (left << 16) - w.xLong) >> 16));
                }
                draw(y, static_cast<int32_t>(left), static_cast<int32_t>(right - left), values, w.stepX);
            }
            w.Advance(1);
        }
        w.Advance(end - to);
        e = w;
    };

    if (yMid > yTop) {
        e.slopeShort = Low32(Product(kOne48 / midHeight, int64_t(v1->x) - v0->x) >> 32);
        e.xShort = Low32(v0->x + (Product(e.slopeShort, preStep) >> 16));
        rows(yTop, yMid);
    }
    if (yEnd > yMid) {
        e.slopeShort = Low32(Product(kOne48 / (int64_t(v2->y) - v1->y), int64_t(v2->x) - v1->x) >> 32);
        e.xShort = Low32(v1->x + (Product(e.slopeShort, (yMid << 16) - v1->y) >> 16));
        rows(yMid, yEnd);
    }
}

} // namespace Compatibility::Walk
