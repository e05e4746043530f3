#pragma once

#include "app/compatibility/PixelKernel.h"
#include "app/compatibility/TriangleRasterizer.h"
#include "app/compatibility/TriangleWalk.h"

#include <cstddef>
#include <utility>

// The rasteriser members, generated from the walk and the pixel kernel; included only by
// the per-format table sources.
namespace Compatibility::Members {

template <class Fmt>
typename Fmt::Pixel* Row(const RasterTarget& target, int64_t y)
{
    return static_cast<typename Fmt::Pixel*>(target.pixels) + static_cast<size_t>(y) * target.pitch;
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

    auto span = [&](int64_t y, int32_t x, int32_t count, const auto& start, const auto& step) {
        typename Fmt::Pixel* d = Row<Fmt>(target, y) + x;
        uint32_t value[F::kCount > 0 ? F::kCount : 1];
        uint32_t delta[F::kCount > 0 ? F::kCount : 1];
        for (int i = 0; i < F::kCount; ++i) {
            value[i] = static_cast<uint32_t>(start[i]);
            delta[i] = static_cast<uint32_t>(step[i]);
        }
        for (int32_t n = 0; n < count; ++n, ++d) {
            uint32_t texel = 0;
            if constexpr (K::kReadsTexel) {
                texel = texels[((value[F::kV] & vMask) >> rowShift) + ((value[F::kU] >> 16) & uMask)];
            }
            if constexpr (Kernel::kIsGouraud<Factor>) {
                Kernel::Weights k = Kernel::MakeWeights<Factor>(
                    m, Kernel::ClampChannel(static_cast<int32_t>(value[0])),
                    Kernel::ClampChannel(static_cast<int32_t>(value[1])),
                    Kernel::ClampChannel(static_cast<int32_t>(value[2])),
                    Kernel::ClampChannel(static_cast<int32_t>(value[3])));
                K::Shade(*d, texel, fillRGB, k);
            } else {
                K::Shade(*d, texel, fillRGB, constant);
            }
            for (int i = 0; i < F::kCount; ++i) {
                value[i] += delta[i];
            }
        }
    };
    Walk::WalkTriangle<F>(vertices, target, span);
}

constexpr uint32_t ModulateChannel(int32_t c, uint32_t m)
{
    return (static_cast<uint32_t>(c) * (m & 0xFF)) >> 8;
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
        using F = Walk::Fields<false, false>;
        Walk::WalkTriangle<F>(vertices, target, [&](int64_t y, int32_t x, int32_t count, const auto&, const auto&) {
            typename Fmt::Pixel* d = Row<Fmt>(target, y) + x;
            for (int32_t n = 0; n < count; ++n, ++d) {
                Kernel::ShadeColor<Fmt>(*d, a, r, g, b);
            }
        });
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
template <class Fmt>
constexpr Kernel::Combine CombineOf(uint32_t index)
{
    if ((index & kModeAdditive) == 0) {
        return Kernel::Combine::Replace;
    }
    if (Fmt::kStoresAlpha && (index & kModeColorFill) == 0) {
        return Kernel::Combine::AddWeighted;
    }
    return Kernel::Combine::AddBlended;
}

template <class Fmt, uint32_t I>
constexpr TriangleRasterizer Member()
{
    if constexpr ((I & kModeTextured) == 0) {
        return &RasterizeColor<Fmt, (I & kModeGouraud) != 0, (I & kModeModulate) != 0>;
    } else {
        constexpr Kernel::Source source = (I & kModeColorFill) ? Kernel::Source::Fill : Kernel::Source::Texel;
        constexpr Kernel::Factor factor = FactorOf(I);
        using K = Kernel::Textured<Fmt, source, factor, (I & kModeTextureAlpha) != 0, CombineOf<Fmt>(I)>;
        return &RasterizeTextured<Fmt, K, factor>;
    }
}

template <class Fmt, size_t... I>
constexpr TriangleRasterizerTable MakeTable(std::index_sequence<I...>)
{
    return {Member<Fmt, static_cast<uint32_t>(I)>()...};
}

template <class Fmt>
constexpr TriangleRasterizerTable MakeTable()
{
    return MakeTable<Fmt>(std::make_index_sequence<64>());
}

} // namespace Compatibility::Members
