#pragma once

#include "app/compatibility/PixelFormats.h"
#include "app/compatibility/RasterTypes.h"

#include <cstdint>

// The one pixel operation behind every textured rasteriser and every span blitter.
// The modes are independent axes fixed at compile time, so no pixel loop tests a mode.
namespace Compatibility::Kernel {

// Where the colour comes from: the texel, or the fill colour keeping the texel's alpha.
enum class Source {
    Texel,
    Fill,
};

// What scales the colour (and the coverage): nothing, the modulation colour, the
// interpolated vertex colour, or both.
enum class Factor {
    None,
    Modulate,
    Gouraud,
    GouraudModulate,
};

// How the value meets the destination: stored, added after weighting by its alpha, or
// added after blending over the destination (which so counts twice before the clamp).
enum class Combine {
    Replace,
    AddWeighted,
    AddBlended,
};

// Per-pixel colour factor, each 0..255.
struct Weights
{
    uint32_t a;
    uint32_t r;
    uint32_t g;
    uint32_t b;
};

// Interpolated 8.16 colour channels may stray just below 0.0 (the walk truncates); they
// are held to 0.0..255.99 so that they never read as opaque or as full channels.
constexpr uint32_t ClampChannel(int32_t c)
{
    return c < 0 ? 0u : (c > 0x00FFFFFF ? 0x00FFFFFFu : static_cast<uint32_t>(c));
}

template <Factor K> constexpr bool kIsGouraud = K == Factor::Gouraud || K == Factor::GouraudModulate;

template <Factor K> constexpr bool kIsModulated = K == Factor::Modulate || K == Factor::GouraudModulate;

// The factor of one pixel from the clamped interpolants (Gouraud modes) and the modulation colour.
template <Factor K>
constexpr Weights MakeWeights(const RasterColor& m, uint32_t ia, uint32_t ir, uint32_t ig, uint32_t ib)
{
    if constexpr (K == Factor::Gouraud) {
        return {ia >> 16, ir >> 16, ig >> 16, ib >> 16};
    } else if constexpr (K == Factor::GouraudModulate) {
        return {((m.a & 0xFF) * ia) >> 24, ((m.r & 0xFF) * ir) >> 24, ((m.g & 0xFF) * ig) >> 24,
                ((m.b & 0xFF) * ib) >> 24};
    } else {
        return {m.a & 0xFF, m.r & 0xFF, m.g & 0xFF, m.b & 0xFF};
    }
}

// The fill colour's red, green and blue as one 0x00RRGGBB word.
constexpr uint32_t FillWord(const RasterColor& fill)
{
    return ((fill.r & 0xFF) << 16) | ((fill.g & 0xFF) << 8) | (fill.b & 0xFF);
}

template <class Fmt, Source S, Factor K, bool TextureAlpha, Combine C> struct Textured
{
    using Pixel = typename Fmt::Pixel;

    static constexpr Source kSource = S;
    static constexpr Factor kFactor = K;
    static constexpr bool kTextureAlpha = TextureAlpha;
    static constexpr Combine kCombine = C;

    // Members read only the arguments their mode uses.
    static constexpr bool kReadsFill = S == Source::Fill;
    static constexpr bool kReadsModulation = kIsModulated<K>;

    // Fill-coloured members look at the texel only for its alpha: as coverage, or as the
    // alpha byte a 32-bit surface keeps when the colour is stored untouched.
    static constexpr bool kReadsTexel = S == Source::Texel || TextureAlpha ||
                                        (Fmt::kStoresAlpha && C == Combine::Replace && K == Factor::None);

    static inline void Shade(Pixel& d, uint32_t texel, uint32_t fillRGB, const Weights& k)
    {
        uint32_t p = S == Source::Texel ? texel : ((texel & 0xFF000000u) | fillRGB);
        uint32_t coverage = 255;
        if constexpr (TextureAlpha) {
            coverage = texel >> 24;
            if (coverage <= 8) {
                return;
            }
        }
        if constexpr (K == Factor::None && !TextureAlpha) {
            Store(d, Fmt::Pack(p));
        } else {
            uint32_t a = coverage;
            if constexpr (K != Factor::None) {
                p = Pixels::Modulate(p, k.r, k.g, k.b);
                a = (k.a * coverage) >> 8;
            }
            if (a >= 240) {
                Store(d, Fmt::Pack(p));
            } else if constexpr (C == Combine::AddWeighted) {
                Store(d, Fmt::Pack(Pixels::Weighted(p, a)));
            } else {
                Store(d, Fmt::Blend(p, d, a));
            }
        }
    }

    static inline void Store(Pixel& d, Pixel v)
    {
        if constexpr (C == Combine::Replace) {
            d = v;
        } else {
            d = Fmt::AddSat(d, v);
        }
    }
};

// The untextured pixel: an 8.16 colour, opaque above 240.0, untouched at 8.0 or less,
// blended in between by its integer alpha.
template <class Fmt>
inline void ShadeColor(typename Fmt::Pixel& d, uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    if (a > 0x00F00000u) {
        d = Fmt::Pack(Pixels::FromFixed(r, g, b));
    } else if (a > 0x00080000u) {
        d = Fmt::Blend(Pixels::FromFixed(r, g, b), d, a >> 16);
    }
}

} // namespace Compatibility::Kernel
