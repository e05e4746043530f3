#pragma once

#include "app/compatibility/PixelKernel.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The textured pixel operation over a whole row of source pixels (span source pixels, or
// the texels a triangle row reads), eight pixels at a time where the processor allows.
// The vector form computes exactly what Kernel::Textured::Shade computes, channel by
// channel in 16-bit lanes (every product of two 8-bit values fits), and so needs no
// tests of its own beyond the comparison of every member with the reference.
namespace Compatibility::Rows {

template <class K>
constexpr bool kVectorised = K::kFactor == Kernel::Factor::None || K::kFactor == Kernel::Factor::Modulate;

#if defined(__SSE2__)

namespace Detail {

inline __m128i Splat(uint32_t v)
{
    return _mm_set1_epi16(static_cast<short>(v));
}

// The 8-bit channel at the shift of eight 32-bit pixels, as eight 16-bit lanes.
inline __m128i Plane(__m128i lo, __m128i hi, int shift)
{
    const __m128i mask = _mm_set1_epi32(0xFF);
    const __m128i count = _mm_cvtsi32_si128(shift);
    return _mm_packs_epi32(_mm_and_si128(_mm_srl_epi32(lo, count), mask),
                           _mm_and_si128(_mm_srl_epi32(hi, count), mask));
}

inline __m128i Scale(__m128i x, __m128i k)
{
    return _mm_srli_epi16(_mm_mullo_epi16(x, k), 8);
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Red, green and blue of eight 16-bit destination pixels as field values, read and
// written back.
template <class Fmt> struct Destination;

template <uint32_t RedMask, uint32_t GreenMask, int RedShift, int GreenBits>
struct Destination<Pixels::RGB16<RedMask, GreenMask, RedShift, GreenBits>>
{
    static constexpr int kRedBits = 5;
    static constexpr int kGreenBits = GreenBits;

    explicit Destination(uint16_t* p) : word(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))
    {
        r = _mm_and_si128(_mm_srli_epi16(word, RedShift), Splat(31));
        g = _mm_and_si128(_mm_srli_epi16(word, 5), Splat((1u << GreenBits) - 1));
        b = _mm_and_si128(word, Splat(31));
    }

    static __m128i Join(__m128i r, __m128i g, __m128i b)
    {
        return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, RedShift), _mm_slli_epi16(g, 5)), b);
    }

    void Store(uint16_t* p, __m128i r, __m128i g, __m128i b, __m128i keep) const
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), Select(keep, word, Join(r, g, b)));
    }

    __m128i word, r, g, b;
};

// An 8-bit source channel over a destination value in the format's units, weight a.
template <int Bits> inline __m128i Blend(__m128i source, __m128i dest, __m128i a)
{
    const __m128i part = _mm_srli_epi16(Scale(source, a), 8 - Bits);
    const __m128i w = _mm_srli_epi16(_mm_sub_epi16(Splat(255), a), 3);
    return _mm_add_epi16(part, _mm_srli_epi16(_mm_mullo_epi16(dest, w), 5));
}

template <int Bits> inline __m128i Narrow(__m128i channel)
{
    return _mm_srli_epi16(channel, 8 - Bits);
}

template <int Bits> inline __m128i AddSat(__m128i d, __m128i v)
{
    return _mm_min_epi16(_mm_add_epi16(d, v), Splat((1u << Bits) - 1));
}

// Four 32-bit pixels with their channels side by side in 16-bit lanes: on this format
// that takes fewer steps than taking the channels apart.
template <class K>
inline void ShadeFour(uint32_t* d, const uint32_t* source, __m128i fillRGB, const Kernel::Weights& k)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const __m128i sourceAlpha = _mm_srli_epi32(s, 24);
    __m128i p = s;
    if constexpr (K::kSource == Kernel::Source::Fill) {
        p = _mm_or_si128(_mm_and_si128(s, _mm_set1_epi32(static_cast<int>(0xFF000000u))), fillRGB);
    }
    // Sprite art is mostly wholly clear or wholly opaque: such groups need no blend.
    if constexpr (K::kTextureAlpha) {
        if (_mm_movemask_epi8(_mm_cmplt_epi32(sourceAlpha, _mm_set1_epi32(9))) == 0xFFFF) {
            return;
        }
        if constexpr (K::kFactor == Kernel::Factor::None && K::kCombine == Kernel::Combine::Replace) {
            if (_mm_movemask_epi8(_mm_cmpgt_epi32(sourceAlpha, _mm_set1_epi32(239))) == 0xFFFF) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d), p);
                return;
            }
        }
    }
    __m128i v = p;
    if constexpr (K::kFactor != Kernel::Factor::None || K::kTextureAlpha) {
        // Colour lanes of each pixel (blue, green, red); the alpha lane takes weight 0.
        const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
        __m128i lo = _mm_unpacklo_epi8(p, zero);
        __m128i hi = _mm_unpackhi_epi8(p, zero);
        __m128i a = K::kTextureAlpha ? sourceAlpha : _mm_set1_epi32(255);
        if constexpr (K::kFactor != Kernel::Factor::None) {
            const __m128i factor =
                _mm_set_epi16(0, static_cast<short>(k.r), static_cast<short>(k.g), static_cast<short>(k.b), 0,
                              static_cast<short>(k.r), static_cast<short>(k.g), static_cast<short>(k.b));
            lo = Scale(lo, factor);
            hi = Scale(hi, factor);
            p = _mm_packus_epi16(lo, hi);
            a = _mm_srli_epi32(_mm_mullo_epi16(a, _mm_set1_epi32(static_cast<int>(k.a))), 8);
        }
        const __m128i opaque = _mm_cmpgt_epi32(a, _mm_set1_epi32(239));
        const __m128i spread = _mm_or_si128(a, _mm_slli_epi32(a, 16));
        const __m128i aLo = _mm_and_si128(_mm_unpacklo_epi32(spread, spread), colourLanes);
        const __m128i aHi = _mm_and_si128(_mm_unpackhi_epi32(spread, spread), colourLanes);
        __m128i mixLo = Scale(lo, aLo);
        __m128i mixHi = Scale(hi, aHi);
        if constexpr (K::kCombine != Kernel::Combine::AddWeighted) {
            const __m128i full = _mm_and_si128(Splat(255), colourLanes);
            mixLo = _mm_add_epi16(mixLo, Scale(_mm_unpacklo_epi8(dst, zero), _mm_sub_epi16(full, aLo)));
            mixHi = _mm_add_epi16(mixHi, Scale(_mm_unpackhi_epi8(dst, zero), _mm_sub_epi16(full, aHi)));
        }
        v = Select(opaque, p, _mm_packus_epi16(mixLo, mixHi));
    }
    if constexpr (K::kCombine != Kernel::Combine::Replace) {
        v = _mm_and_si128(_mm_adds_epu8(dst, v), _mm_set1_epi32(0x00FFFFFF));
    }
    if constexpr (K::kTextureAlpha) {
        v = Select(_mm_cmplt_epi32(sourceAlpha, _mm_set1_epi32(9)), dst, v);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
}

// Eight 16-bit pixels, channel by channel: red, green and blue each in eight 16-bit lanes.
template <class Fmt, class K>
inline void ShadeEight(typename Fmt::Pixel* d, const uint32_t* source, __m128i fillR, __m128i fillG,
                       __m128i fillB, const Kernel::Weights& k)
{
    static_assert(K::kCombine != Kernel::Combine::AddWeighted, "16-bit members add blended values");
    using Dst = Destination<Fmt>;
    constexpr int RB = Dst::kRedBits;
    constexpr int GB = Dst::kGreenBits;
    const __m128i slo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    const __m128i shi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4));
    const __m128i sourceAlpha = Plane(slo, shi, 24);
    // Pixels whose texel alpha is 8 or less stay exactly as they were.
    const __m128i keep = K::kTextureAlpha ? _mm_cmplt_epi16(sourceAlpha, Splat(9)) : _mm_setzero_si128();
    if (K::kTextureAlpha && _mm_movemask_epi8(keep) == 0xFFFF) {
        return;
    }
    __m128i r = K::kSource == Kernel::Source::Texel ? Plane(slo, shi, 16) : fillR;
    __m128i g = K::kSource == Kernel::Source::Texel ? Plane(slo, shi, 8) : fillG;
    __m128i b = K::kSource == Kernel::Source::Texel ? Plane(slo, shi, 0) : fillB;
    if constexpr (K::kTextureAlpha && K::kFactor == Kernel::Factor::None &&
                  K::kCombine == Kernel::Combine::Replace) {
        if (_mm_movemask_epi8(_mm_cmpgt_epi16(sourceAlpha, Splat(239))) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                             Dst::Join(Narrow<RB>(r), Narrow<GB>(g), Narrow<RB>(b)));
            return;
        }
    }
    Dst dst(d);

    __m128i vr, vg, vb;
    if constexpr (K::kFactor == Kernel::Factor::None && !K::kTextureAlpha) {
        vr = Narrow<RB>(r);
        vg = Narrow<GB>(g);
        vb = Narrow<RB>(b);
    } else {
        __m128i a = K::kTextureAlpha ? sourceAlpha : Splat(255);
        if constexpr (K::kFactor != Kernel::Factor::None) {
            r = Scale(r, Splat(k.r));
            g = Scale(g, Splat(k.g));
            b = Scale(b, Splat(k.b));
            a = Scale(a, Splat(k.a));
        }
        const __m128i opaque = _mm_cmpgt_epi16(a, Splat(239));
        vr = Select(opaque, Narrow<RB>(r), Blend<RB>(r, dst.r, a));
        vg = Select(opaque, Narrow<GB>(g), Blend<GB>(g, dst.g, a));
        vb = Select(opaque, Narrow<RB>(b), Blend<RB>(b, dst.b, a));
    }
    if constexpr (K::kCombine == Kernel::Combine::AddBlended) {
        vr = AddSat<RB>(dst.r, vr);
        vg = AddSat<GB>(dst.g, vg);
        vb = AddSat<RB>(dst.b, vb);
    }
    dst.Store(d, vr, vg, vb, keep);
}

// Runs a vector step of Width pixels over the row; the end of a long row takes the same
// step on copies, of which only the row's own pixels are written back. Returns the pixels
// done.
template <int Width, class Pixel, class StepFn>
inline int32_t Steps(Pixel* d, const uint32_t* source, int32_t count, StepFn&& step)
{
    int32_t i = 0;
    for (; i + Width <= count; i += Width) {
        step(d + i, source + i);
    }
    if (i < count && count >= Width) {
        const int32_t rest = count - i;
        Pixel pixels[Width] = {};
        uint32_t sources[Width] = {};
        for (int32_t j = 0; j < rest; ++j) {
            pixels[j] = d[i + j];
            sources[j] = source[i + j];
        }
        step(pixels, sources);
        for (int32_t j = 0; j < rest; ++j) {
            d[i + j] = pixels[j];
        }
        i = count;
    }
    return i;
}

} // namespace Detail

#endif

// Shades count destination pixels from count source pixels (texels for members that read
// them; ignored otherwise).
template <class Fmt, class K>
inline void Shade(typename Fmt::Pixel* d, const uint32_t* source, int32_t count, uint32_t fillRGB,
                  const Kernel::Weights& k)
{
    // The plain 32-bit copy is a copy.
    if constexpr (std::is_same_v<Fmt, Pixels::ARGB8888> && K::kSource == Kernel::Source::Texel &&
                  K::kFactor == Kernel::Factor::None && !K::kTextureAlpha &&
                  K::kCombine == Kernel::Combine::Replace) {
        if (count > 0) {
            std::memcpy(d, source, static_cast<size_t>(count) * 4);
        }
        return;
    }
    int32_t i = 0;
#if defined(__SSE2__)
    if constexpr (kVectorised<K> && std::is_same_v<Fmt, Pixels::ARGB8888>) {
        const __m128i fill = _mm_set1_epi32(static_cast<int>(fillRGB));
        i = Detail::Steps<4>(d, source, count, [&](uint32_t* dp, const uint32_t* sp) {
            Detail::ShadeFour<K>(dp, sp, fill, k);
        });
    } else if constexpr (kVectorised<K>) {
        const __m128i fillR = Detail::Splat((fillRGB >> 16) & 0xFF);
        const __m128i fillG = Detail::Splat((fillRGB >> 8) & 0xFF);
        const __m128i fillB = Detail::Splat(fillRGB & 0xFF);
        i = Detail::Steps<8>(d, source, count, [&](typename Fmt::Pixel* dp, const uint32_t* sp) {
            Detail::ShadeEight<Fmt, K>(dp, sp, fillR, fillG, fillB, k);
        });
    }
#endif
    for (; i < count; ++i) {
        K::Shade(d[i], source[i], fillRGB, k);
    }
}

} // namespace Compatibility::Rows
