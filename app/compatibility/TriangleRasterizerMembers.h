#pragma once

#include "app/compatibility/PixelKernelRows.h"
#include "app/compatibility/TriangleRasterizer.h"
#include "app/compatibility/TriangleWalk.h"

#include <algorithm>
#include <cstddef>
#include <utility>

// The rasteriser members, generated from the walk and the pixel kernel; included by the
// per-format table sources and by the quad copy, which shades rows with the same kernels.
namespace Compatibility::Members {

template <class Fmt> typename Fmt::Pixel* Row(const RasterTarget& target, int64_t y)
{
    return static_cast<typename Fmt::Pixel*>(target.pixels) + static_cast<size_t>(y) * target.pitch;
}

// The general case of TexelRuns: the texels the addressing rule names are gathered first,
// a chunk at a time. Kept out of line, so that the in-place case stays small enough to be
// part of the row loop.
template <class ShadeFn>
[[gnu::noinline]] void GatheredTexelRuns(const uint32_t* texels, uint32_t rowShift, uint32_t uMask,
                                         uint32_t vMask, uint32_t u, uint32_t v, uint32_t du, uint32_t dv,
                                         int32_t count, ShadeFn& shade)
{
    constexpr int32_t kChunk = 64;
    uint32_t gathered[kChunk];
    for (int32_t done = 0; done < count; done += kChunk) {
        const int32_t n = count - done < kChunk ? count - done : kChunk;
        // The texture row stays the same when v keeps its integer part over the chunk.
        const int64_t vLast = int64_t(v) + int64_t(int32_t(dv)) * (n - 1);
        if (vLast >= 0 && vLast <= 0xFFFFFFFF && (v >> 16) == (vLast >> 16)) {
            const uint32_t* row = texels + ((v & vMask) >> rowShift);
            for (int32_t i = 0; i < n; ++i, u += du) {
                gathered[i] = row[(u >> 16) & uMask];
            }
            v += dv * static_cast<uint32_t>(n);
        } else {
            for (int32_t i = 0; i < n; ++i, u += du, v += dv) {
                gathered[i] = texels[((v & vMask) >> rowShift) + ((u >> 16) & uMask)];
            }
        }
        shade(done, gathered, n);
    }
}

// Calls shade(offset, texels, n) over a row of count pixels whose texel coordinates start
// at (u, v) and step by (du, dv).
template <class ShadeFn>
inline void TexelRuns(const uint32_t* texels, uint32_t rowShift, uint32_t uMask, uint32_t vMask,
                      bool wholeRows, uint32_t u, uint32_t v, uint32_t du, uint32_t dv, int32_t count,
                      ShadeFn&& shade)
{
    // Unscaled, unrotated drawing samples consecutive texels of one texture row: v keeps its
    // integer part and u's fraction never leaves its pixel over the whole span. Such spans
    // are read in place, decided once per span (sprites are drawn as many short spans, where
    // per-span work weighs as much as the pixels).
    const int64_t vEnd = int64_t(v) + int64_t(int32_t(dv)) * (count - 1);
    const int64_t drift = int64_t(u & 0xFFFF) + int64_t(int32_t(du - 0x10000)) * (count - 1);
    if (!(wholeRows && vEnd >= 0 && vEnd <= 0xFFFFFFFF && (v >> 16) == (vEnd >> 16) && drift >= 0 &&
          drift <= 0xFFFF)) {
        GatheredTexelRuns(texels, rowShift, uMask, vMask, u, v, du, dv, count, shade);
        return;
    }
    const uint32_t* row = texels + ((v & vMask) >> rowShift);
    uint32_t column = (u >> 16) & uMask;
    // A span that runs past the texture's right edge carries on from its left edge.
    for (int32_t i = 0; i < count; column = 0) {
        const int32_t length = std::min<int32_t>(count - i, static_cast<int32_t>(uMask + 1 - column));
        shade(i, row + column, length);
        i += length;
    }
}

template <class Fmt, class K, Kernel::Factor Factor>
void RasterizeTextured(const RasterVertex* vertices, const RasterTarget& target, const RasterTexture* texture,
                       const RasterColor* modulation, const RasterColor* fill)
{
    using F = Walk::Fields<Kernel::kIsGouraud<Factor>, K::kReadsTexel>;
    const RasterColor m = K::kReadsModulation ? *modulation : RasterColor{};
    const uint32_t fillRGB = K::kReadsFill ? Kernel::FillWord(*fill) : 0;
    const Kernel::Weights constant = Kernel::MakeWeights<Kernel::Factor::Modulate>(m, 0, 0, 0, 0);
    const uint32_t* texels = K::kReadsTexel ? texture->texels : nullptr;
    const uint32_t rowShift = K::kReadsTexel ? static_cast<uint32_t>(texture->rowShift) & 31 : 0;
    const uint32_t uMask = K::kReadsTexel ? texture->uMask >> 16 : 0;
    const uint32_t vMask = K::kReadsTexel ? texture->vMask : 0;

    auto texelIndex = [&](uint32_t u, uint32_t v) { return ((v & vMask) >> rowShift) + ((u >> 16) & uMask); };

    // Rows without a per-pixel colour hand their texels to the row kernel as runs: read in
    // place where the row samples consecutive texels of one texture row (unscaled,
    // unrotated drawing), gathered first otherwise. Either way each pixel gets the texel
    // the addressing rule names.
    // The rows take their own copies of what they read: the pixels they write could
    // otherwise stand for any of it, and everything would be read again after each store.
    const bool wholeRows = (uMask & (uMask + 1)) == 0;
    const RasterTarget surface = target;
    auto run = [=](int64_t y, int32_t x, int32_t count, const auto& start, const auto& step) {
        typename Fmt::Pixel* d = Row<Fmt>(surface, y) + x;
        if constexpr (!K::kReadsTexel) {
            static constexpr uint32_t kNoTexels[64] = {};
            for (int32_t done = 0; done < count; done += 64) {
                Rows::Shade<Fmt, K>(d + done, kNoTexels, count - done < 64 ? count - done : 64, fillRGB,
                                    constant);
            }
        } else {
            TexelRuns(texels, rowShift, uMask, vMask, wholeRows, static_cast<uint32_t>(start[F::kU]),
                      static_cast<uint32_t>(start[F::kV]), static_cast<uint32_t>(step[F::kU]),
                      static_cast<uint32_t>(step[F::kV]), count,
                      [=](int32_t offset, const uint32_t* source, int32_t n) {
                          Rows::Shade<Fmt, K>(d + offset, source, n, fillRGB, constant);
                      });
        }
    };

    // Gouraud rows form the colour factor pixel by pixel.
    auto shaded = [&](int64_t y, int32_t x, int32_t count, const auto& start, const auto& step) {
        typename Fmt::Pixel* d = Row<Fmt>(target, y) + x;
        uint32_t value[F::kCount];
        uint32_t delta[F::kCount];
        for (int i = 0; i < F::kCount; ++i) {
            value[i] = static_cast<uint32_t>(start[i]);
            delta[i] = static_cast<uint32_t>(step[i]);
        }
        for (int32_t n = 0; n < count; ++n, ++d) {
            uint32_t texel = 0;
            if constexpr (K::kReadsTexel) {
                texel = texels[texelIndex(value[F::kU], value[F::kV])];
            }
            Kernel::Weights k =
                Kernel::MakeWeights<Factor>(m, Kernel::ClampChannel(static_cast<int32_t>(value[0])),
                                            Kernel::ClampChannel(static_cast<int32_t>(value[1])),
                                            Kernel::ClampChannel(static_cast<int32_t>(value[2])),
                                            Kernel::ClampChannel(static_cast<int32_t>(value[3])));
            K::Shade(*d, texel, fillRGB, k);
            for (int i = 0; i < F::kCount; ++i) {
                value[i] += delta[i];
            }
        }
    };
    if constexpr (Kernel::kIsGouraud<Factor>) {
        Walk::WalkTriangle<F>(vertices, target, shaded);
    } else {
        Walk::WalkTriangle<F>(vertices, target, run);
    }
}

constexpr uint32_t ModulateChannel(int32_t c, uint32_t m)
{
    return (static_cast<uint32_t>(c) * (m & 0xFF)) >> 8;
}

// Every pixel of the triangle in one 8.16 colour.
template <class Fmt>
void FillTriangle(const RasterVertex* vertices, const RasterTarget& target, uint32_t a, uint32_t r,
                  uint32_t g, uint32_t b)
{
    Walk::WalkTriangle<Walk::Fields<false, false>>(
        vertices, target, [&](int64_t y, int32_t x, int32_t count, const auto&, const auto&) {
            Rows::FillColor<Fmt>(Row<Fmt>(target, y) + x, count, a, r, g, b);
        });
}

// Untextured: a flat colour from the fill record, or the vertex colours interpolated;
// modulation applies once, to working copies, so a fan's shared first vertex is never
// modulated twice.
template <class Fmt, bool Gouraud, bool Modulate>
void RasterizeColor(const RasterVertex* vertices, const RasterTarget& target, const RasterTexture*,
                    const RasterColor* modulation, const RasterColor* fill)
{
    const RasterColor m = Modulate ? *modulation : RasterColor{};
    if constexpr (Gouraud) {
        RasterVertex working[3] = {vertices[0], vertices[1], vertices[2]};
        if constexpr (Modulate) {
            for (RasterVertex& v : working) {
                v.a = static_cast<int32_t>(ModulateChannel(v.a, m.a));
                v.r = static_cast<int32_t>(ModulateChannel(v.r, m.r));
                v.g = static_cast<int32_t>(ModulateChannel(v.g, m.g));
                v.b = static_cast<int32_t>(ModulateChannel(v.b, m.b));
            }
        }
        // Corners of one colour (filled rectangles and shades) interpolate to exactly that
        // colour at every pixel: no steps to take.
        auto sameColor = [](const RasterVertex& p, const RasterVertex& q) {
            return p.a == q.a && p.r == q.r && p.g == q.g && p.b == q.b;
        };
        const RasterVertex& v0 = working[0];
        if (sameColor(v0, working[1]) && sameColor(v0, working[2])) {
            FillTriangle<Fmt>(working, target, Kernel::ClampChannel(v0.a), Kernel::ClampChannel(v0.r),
                              Kernel::ClampChannel(v0.g), Kernel::ClampChannel(v0.b));
            return;
        }
        using F = Walk::Fields<true, false>;
        Walk::WalkTriangle<F>(working, target,
                              [&](int64_t y, int32_t x, int32_t count, const auto& start, const auto& step) {
                                  typename Fmt::Pixel* d = Row<Fmt>(target, y) + x;
                                  uint32_t a = start[0], r = start[1], g = start[2], b = start[3];
                                  for (int32_t n = 0; n < count; ++n, ++d) {
                                      Kernel::ShadeColor<Fmt>(*d, Kernel::ClampChannel(int32_t(a)),
                                                              Kernel::ClampChannel(int32_t(r)),
                                                              Kernel::ClampChannel(int32_t(g)),
                                                              Kernel::ClampChannel(int32_t(b)));
                                      a += step[0];
                                      r += step[1];
                                      g += step[2];
                                      b += step[3];
                                  }
                              });
    } else {
        uint32_t a = fill->a, r = fill->r, g = fill->g, b = fill->b;
        if constexpr (Modulate) {
            a = ModulateChannel(int32_t(a), m.a);
            r = ModulateChannel(int32_t(r), m.r);
            g = ModulateChannel(int32_t(g), m.g);
            b = ModulateChannel(int32_t(b), m.b);
        }
        FillTriangle<Fmt>(vertices, target, a, r, g, b);
    }
}

constexpr Kernel::Factor FactorOf(uint32_t index)
{
    bool gouraud = (index & kModeGouraud) != 0;
    bool modulate = (index & kModeModulate) != 0;
    if (gouraud) {
        return modulate ? Kernel::Factor::GouraudModulate : Kernel::Factor::Gouraud;
    }
    return modulate ? Kernel::Factor::Modulate : Kernel::Factor::None;
}

// The additive rule differs by family: the 32-bit textured members add the colour
// weighted by its alpha; the 32-bit colour-fill members and every 16-bit member add the
// colour blended over the destination.
template <class Fmt> constexpr Kernel::Combine CombineOf(uint32_t index)
{
    if ((index & kModeAdditive) == 0) {
        return Kernel::Combine::Replace;
    }
    if (Fmt::kStoresAlpha && (index & kModeColorFill) == 0) {
        return Kernel::Combine::AddWeighted;
    }
    return Kernel::Combine::AddBlended;
}

// The pixel kernel of the textured member of mode I.
template <class Fmt, uint32_t I>
using TexturedKernel = Kernel::Textured<Fmt, (I & kModeColorFill) ? Kernel::Source::Fill : Kernel::Source::Texel,
                                        FactorOf(I), (I & kModeTextureAlpha) != 0, CombineOf<Fmt>(I)>;

template <class Fmt, uint32_t I> constexpr TriangleRasterizer Member()
{
    if constexpr ((I & kModeTextured) == 0) {
        return &RasterizeColor<Fmt, (I & kModeGouraud) != 0, (I & kModeModulate) != 0>;
    } else {
        return &RasterizeTextured<Fmt, TexturedKernel<Fmt, I>, FactorOf(I)>;
    }
}

template <class Fmt, size_t... I> constexpr TriangleRasterizerTable MakeTable(std::index_sequence<I...>)
{
    return {Member<Fmt, static_cast<uint32_t>(I)>()...};
}

template <class Fmt> constexpr TriangleRasterizerTable MakeTable()
{
    return MakeTable<Fmt>(std::make_index_sequence<64>());
}

} // namespace Compatibility::Members
