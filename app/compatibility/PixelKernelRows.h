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

// Red, green and blue of eight destination pixels in the format's own units (8-bit
// channels, or 5- and 6-bit fields), read and written back.
template <class Fmt> struct Destination;

template <> struct Destination<Pixels::ARGB8888>
{
    static constexpr int kRedBits = 8;
    static constexpr int kGreenBits = 8;

    explicit Destination(uint32_t* p)
        : lo(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
          hi(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4))), r(Plane(lo, hi, 16)),
          g(Plane(lo, hi, 8)), b(Plane(lo, hi, 0)), a(Plane(lo, hi, 24))
    {
    }

    // Each pixel takes r, g, b and the given alpha byte (16-bit lanes), or keeps what it
    // held where keep is set.
    void Store(uint32_t* p, __m128i r, __m128i g, __m128i b, __m128i alpha, __m128i keep) const
    {
        const __m128i bg = _mm_or_si128(b, _mm_slli_epi16(g, 8));
        const __m128i ra = _mm_or_si128(r, _mm_slli_epi16(alpha, 8));
        const __m128i keepLo = _mm_unpacklo_epi16(keep, keep);
        const __m128i keepHi = _mm_unpackhi_epi16(keep, keep);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), Select(keepLo, lo, _mm_unpacklo_epi16(bg, ra)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4), Select(keepHi, hi, _mm_unpackhi_epi16(bg, ra)));
    }

    __m128i lo, hi, r, g, b, a;
};

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
        a = _mm_setzero_si128();
    }

    void Store(uint16_t* p, __m128i r, __m128i g, __m128i b, __m128i, __m128i keep) const
    {
        const __m128i out = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, RedShift), _mm_slli_epi16(g, 5)), b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), Select(keep, word, out));
    }

    __m128i word, r, g, b, a;
};

// An 8-bit source channel over a destination value in the format's units, weight a.
template <int Bits> inline __m128i Blend(__m128i source, __m128i dest, __m128i a)
{
    const __m128i part = _mm_srli_epi16(Scale(source, a), 8 - Bits);
    if constexpr (Bits == 8) {
        return _mm_add_epi16(part, Scale(dest, _mm_sub_epi16(Splat(255), a)));
    } else {
        const __m128i w = _mm_srli_epi16(_mm_sub_epi16(Splat(255), a), 3);
        return _mm_add_epi16(part, _mm_srli_epi16(_mm_mullo_epi16(dest, w), 5));
    }
}

template <int Bits> inline __m128i Narrow(__m128i channel)
{
    return _mm_srli_epi16(channel, 8 - Bits);
}

template <int Bits> inline __m128i AddSat(__m128i d, __m128i v)
{
    return _mm_min_epi16(_mm_add_epi16(d, v), Splat((1u << Bits) - 1));
}

template <class Fmt, class K>
inline void ShadeEight(typename Fmt::Pixel* d, const uint32_t* source, __m128i fillR, __m128i fillG,
                       __m128i fillB, const Kernel::Weights& k)
{
    using Dst = Destination<Fmt>;
    constexpr int RB = Dst::kRedBits;
    constexpr int GB = Dst::kGreenBits;
    const __m128i slo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    const __m128i shi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4));
    const __m128i sourceAlpha = Plane(slo, shi, 24);
    __m128i r = K::kSource == Kernel::Source::Texel ? Plane(slo, shi, 16) : fillR;
    __m128i g = K::kSource == Kernel::Source::Texel ? Plane(slo, shi, 8) : fillG;
    __m128i b = K::kSource == Kernel::Source::Texel ? Plane(slo, shi, 0) : fillB;
    Dst dst(d);

    __m128i vr, vg, vb;
    __m128i alphaByte = _mm_setzero_si128();
    if constexpr (K::kFactor == Kernel::Factor::None && !K::kTextureAlpha) {
        vr = Narrow<RB>(r);
        vg = Narrow<GB>(g);
        vb = Narrow<RB>(b);
        alphaByte = sourceAlpha;
    } else {
        __m128i a = K::kTextureAlpha ? sourceAlpha : Splat(255);
        if constexpr (K::kFactor != Kernel::Factor::None) {
            r = Scale(r, Splat(k.r));
            g = Scale(g, Splat(k.g));
            b = Scale(b, Splat(k.b));
            a = Scale(a, Splat(k.a));
        }
        const __m128i opaque = _mm_cmpgt_epi16(a, Splat(239));
        if constexpr (K::kCombine == Kernel::Combine::AddWeighted) {
            vr = Select(opaque, r, Scale(r, a));
            vg = Select(opaque, g, Scale(g, a));
            vb = Select(opaque, b, Scale(b, a));
        } else {
            vr = Select(opaque, Narrow<RB>(r), Blend<RB>(r, dst.r, a));
            vg = Select(opaque, Narrow<GB>(g), Blend<GB>(g, dst.g, a));
            vb = Select(opaque, Narrow<RB>(b), Blend<RB>(b, dst.b, a));
        }
        if constexpr (K::kFactor == Kernel::Factor::None) {
            alphaByte = _mm_and_si128(opaque, sourceAlpha);
        }
    }
    if constexpr (K::kCombine != Kernel::Combine::Replace) {
        vr = AddSat<RB>(dst.r, vr);
        vg = AddSat<GB>(dst.g, vg);
        vb = AddSat<RB>(dst.b, vb);
        alphaByte = _mm_setzero_si128();
    }
    // Pixels whose texel alpha is 8 or less stay exactly as they were.
    const __m128i keep = K::kTextureAlpha ? _mm_cmplt_epi16(sourceAlpha, Splat(9)) : _mm_setzero_si128();
    dst.Store(d, vr, vg, vb, alphaByte, keep);
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
    if constexpr (kVectorised<K>) {
        const __m128i fillR = Detail::Splat((fillRGB >> 16) & 0xFF);
        const __m128i fillG = Detail::Splat((fillRGB >> 8) & 0xFF);
        const __m128i fillB = Detail::Splat(fillRGB & 0xFF);
        for (; i + 8 <= count; i += 8) {
            Detail::ShadeEight<Fmt, K>(d + i, source + i, fillR, fillG, fillB, k);
        }
        // The end of a long row takes the same eight-wide step on copies, of which only the
        // row's own pixels are written back; short rows stay with the single-pixel form.
        if (i < count && count >= 8) {
            const int32_t rest = count - i;
            typename Fmt::Pixel pixels[8] = {};
            uint32_t sources[8] = {};
            for (int32_t j = 0; j < rest; ++j) {
                pixels[j] = d[i + j];
                sources[j] = source[i + j];
            }
            Detail::ShadeEight<Fmt, K>(pixels, sources, fillR, fillG, fillB, k);
            for (int32_t j = 0; j < rest; ++j) {
                d[i + j] = pixels[j];
            }
            return;
        }
    }
#endif
    for (; i < count; ++i) {
        K::Shade(d[i], source[i], fillRGB, k);
    }
}

} // namespace Compatibility::Rows
