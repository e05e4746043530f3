#pragma once

#include "app/compatibility/PixelKernel.h"

#include <algorithm>
#include <bit>
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

inline __m128i Scale(__m128i x, __m128i k)
{
    return _mm_srli_epi16(_mm_mullo_epi16(x, k), 8);
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Where the fields of a 16-bit format sit: red at RedShift, green (GreenBits wide) at 5,
// blue (5 bits) at 0.
template <class Fmt> struct Layout;

template <uint32_t RedMask, uint32_t GreenMask, int RedShift, int GreenBits>
struct Layout<Pixels::RGB16<RedMask, GreenMask, RedShift, GreenBits>>
{
    static constexpr int kRedShift = RedShift;
    static constexpr int kGreenBits = GreenBits;
    static constexpr uint32_t kRedMask = RedMask;
    static constexpr uint32_t kGreenMask = GreenMask;
    static constexpr uint32_t kBlueMask = 0x001F;
};

// Moves a value whose lowest bit of interest is at bit From so that it lands at bit To.
template <int From, int To> inline __m128i Move(__m128i x)
{
    if constexpr (From > To) {
        return _mm_srli_epi16(x, From - To);
    } else if constexpr (From < To) {
        return _mm_slli_epi16(x, To - From);
    } else {
        return x;
    }
}

// The 16-bit words of 8-bit channels weighted by a (0..256): each field is
// ((c * a) >> 8) >> (8 - bits), that is (c * a) >> (16 - bits), in place. A weight of 256
// gives the colour narrowed to the fields.
template <class L> inline __m128i Weighted(__m128i r, __m128i g, __m128i b, __m128i a)
{
    const __m128i red = _mm_and_si128(Move<11, L::kRedShift>(_mm_mullo_epi16(r, a)), Splat(L::kRedMask));
    const __m128i green =
        _mm_and_si128(Move<16 - L::kGreenBits, 5>(_mm_mullo_epi16(g, a)), Splat(L::kGreenMask));
    const __m128i blue = _mm_srli_epi16(_mm_mullo_epi16(b, a), 11);
    return _mm_or_si128(_mm_or_si128(red, green), blue);
}

// The same for a weight of 256, without the products.
template <class L> inline __m128i Narrowed(__m128i r, __m128i g, __m128i b)
{
    const __m128i red = _mm_and_si128(Move<3, L::kRedShift>(r), Splat(L::kRedMask));
    const __m128i green = _mm_and_si128(Move<8 - L::kGreenBits, 5>(g), Splat(L::kGreenMask));
    return _mm_or_si128(_mm_or_si128(red, green), _mm_srli_epi16(b, 3));
}

// The destination's share of a blend: each field times w (0..32) over 32, in place. The
// high product of the field as it stands and w moved up by the field's distance from bit
// 11 is exactly (field * w) >> 5; blue, at bit 0, takes the low product instead, so w may
// be 32 (the field unchanged).
template <class L> inline __m128i Scaled(__m128i d, __m128i w)
{
    const __m128i red = Move<0, L::kRedShift>(
        _mm_mulhi_epu16(_mm_and_si128(d, Splat(L::kRedMask)), Move<0, 11 - L::kRedShift>(w)));
    const __m128i green =
        _mm_slli_epi16(_mm_mulhi_epu16(_mm_and_si128(d, Splat(L::kGreenMask)), _mm_slli_epi16(w, 6)), 5);
    const __m128i blue = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(d, Splat(L::kBlueMask)), w), 5);
    return _mm_or_si128(_mm_or_si128(red, green), blue);
}

// One field of d plus the same field of v, held at the field's largest value: both are
// moved to the top of the lane, where the unsigned saturating add clamps.
template <uint32_t Mask> inline __m128i AddSatField(__m128i d, __m128i v)
{
    constexpr int kTop = std::countl_zero(static_cast<uint16_t>(Mask));
    const __m128i sum = _mm_adds_epu16(Move<0, kTop>(_mm_and_si128(d, Splat(Mask))),
                                       Move<0, kTop>(_mm_and_si128(v, Splat(Mask))));
    return Move<kTop, 0>(_mm_and_si128(sum, Splat(Mask << kTop)));
}

template <class L> inline __m128i AddSat(__m128i d, __m128i v)
{
    return _mm_or_si128(_mm_or_si128(AddSatField<L::kRedMask>(d, v), AddSatField<L::kGreenMask>(d, v)),
                        AddSatField<L::kBlueMask>(d, v));
}

// Four 32-bit pixels with each colour channel at the top of a 16-bit lane: blue and red in
// one register, green (beside alpha) in the other. The high half of a channel's product
// with a weight of 0..255 is then (c * w) >> 8 in the lane's low byte, without unpacking
// the pixels into twice as many registers and packing them again.
struct Lanes
{
    __m128i blueRed;
    __m128i greenAlpha;
};

inline Lanes Lift(__m128i pixels)
{
    return {_mm_slli_epi16(pixels, 8), _mm_and_si128(pixels, Splat(0xFF00))};
}

inline Lanes Weigh(Lanes lifted, __m128i blueRedWeights, __m128i greenWeights)
{
    return {_mm_mulhi_epu16(lifted.blueRed, blueRedWeights),
            _mm_mulhi_epu16(lifted.greenAlpha, greenWeights)};
}

// Two weighted shares whose weights sum to 255 at most: no lane passes 255.
inline Lanes Sum(Lanes x, Lanes y)
{
    return {_mm_add_epi16(x.blueRed, y.blueRed), _mm_add_epi16(x.greenAlpha, y.greenAlpha)};
}

// The weighted channels as pixels, alpha byte 0 whatever alpha's lane holds.
inline __m128i Join(Lanes x)
{
    return _mm_or_si128(x.blueRed,
                        _mm_and_si128(_mm_slli_epi32(x.greenAlpha, 8), _mm_set1_epi32(0x0000FF00)));
}

// Four 32-bit pixels, their channels weighed in place. The destination pixels come as they
// were before the row was drawn.
template <class K>
inline void ShadeFour(uint32_t* d, const uint32_t* source, __m128i dst, __m128i fillRGB,
                      const Kernel::Weights& k)
{
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    const __m128i sourceAlpha = _mm_srli_epi32(s, 24);
    __m128i p = s;
    if constexpr (K::kSource == Kernel::Source::Fill) {
        p = _mm_or_si128(_mm_and_si128(s, _mm_set1_epi32(static_cast<int>(0xFF000000u))), fillRGB);
    }
    // Pixels whose texel alpha is 8 or less stay as they were. Sprite art is mostly wholly
    // clear or wholly opaque: such groups need no blend.
    __m128i shown = _mm_set1_epi32(-1);
    if constexpr (K::kTextureAlpha) {
        shown = _mm_cmpgt_epi32(sourceAlpha, _mm_set1_epi32(8));
        if (_mm_movemask_epi8(shown) == 0) {
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
        // A fill colour's channels are the same for the whole row: lifted once.
        Lanes colour = Lift(K::kSource == Kernel::Source::Fill ? fillRGB : s);
        __m128i a = K::kTextureAlpha ? sourceAlpha : _mm_set1_epi32(255);
        if constexpr (K::kFactor != Kernel::Factor::None) {
            const __m128i blueRed = _mm_set1_epi32(static_cast<int>(k.b | (k.r << 16)));
            p = Join(Weigh(colour, blueRed, _mm_set1_epi32(static_cast<int>(k.g))));
            colour = Lift(p);
            a = _mm_srli_epi32(_mm_mullo_epi16(a, _mm_set1_epi32(static_cast<int>(k.a))), 8);
        }
        const __m128i opaque = _mm_cmpgt_epi32(a, _mm_set1_epi32(239));
        const __m128i weight = _mm_or_si128(a, _mm_slli_epi32(a, 16));
        Lanes mix = Weigh(colour, weight, weight);
        if constexpr (K::kCombine != Kernel::Combine::AddWeighted) {
            const __m128i inverse = _mm_sub_epi16(Splat(255), weight);
            mix = Sum(mix, Weigh(Lift(dst), inverse, inverse));
        }
        v = Select(opaque, p, Join(mix));
    }
    if constexpr (K::kCombine != Kernel::Combine::Replace) {
        v = _mm_and_si128(_mm_adds_epu8(dst, v), _mm_set1_epi32(0x00FFFFFF));
    }
    if constexpr (K::kTextureAlpha) {
        v = Select(shown, v, dst);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
}

// Eight 16-bit pixels, channel by channel: red, green and blue each in eight 16-bit lanes.
// An opaque pixel is the blend with source weight 256 and destination weight 0, so every
// lane takes the same steps and only the untouched pixels are chosen apart at the end.
// The destination pixels come as they were before the row was drawn.
template <class Fmt, class K>
inline void ShadeEight(typename Fmt::Pixel* d, const uint32_t* source, __m128i dst, __m128i fillR,
                       __m128i fillG, __m128i fillB, const Kernel::Weights& k)
{
    static_assert(K::kCombine != Kernel::Combine::AddWeighted, "16-bit members add blended values");
    using L = Layout<Fmt>;
    const __m128i slo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    const __m128i shi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4));
    // Three rounds of interleaving the texels' 16-bit halves leave the eight texels in order
    // as alpha-and-red words in one register and green-and-blue words in another.
    const __m128i t0 = _mm_unpacklo_epi16(slo, shi);
    const __m128i t1 = _mm_unpackhi_epi16(slo, shi);
    const __m128i u0 = _mm_unpacklo_epi16(t0, t1);
    const __m128i u1 = _mm_unpackhi_epi16(t0, t1);
    const __m128i ar = _mm_unpackhi_epi16(u0, u1);
    const __m128i sourceAlpha = _mm_srli_epi16(ar, 8);
    // Pixels whose texel alpha is 8 or less stay exactly as they were.
    __m128i keep = _mm_setzero_si128();
    if constexpr (K::kTextureAlpha) {
        keep = _mm_cmplt_epi16(sourceAlpha, Splat(9));
        if (_mm_movemask_epi8(keep) == 0xFFFF) {
            return;
        }
    }
    __m128i r = fillR, g = fillG, b = fillB;
    if constexpr (K::kSource == Kernel::Source::Texel) {
        const __m128i gb = _mm_unpacklo_epi16(u0, u1);
        r = _mm_and_si128(ar, Splat(0xFF));
        g = _mm_srli_epi16(gb, 8);
        b = _mm_and_si128(gb, Splat(0xFF));
    }
    __m128i* const out = reinterpret_cast<__m128i*>(d);
    __m128i v;
    if constexpr (K::kFactor == Kernel::Factor::None && !K::kTextureAlpha) {
        v = Narrowed<L>(r, g, b);
    } else {
        __m128i a = K::kTextureAlpha ? sourceAlpha : Splat(255);
        if constexpr (K::kFactor != Kernel::Factor::None) {
            r = Scale(r, Splat(k.r));
            g = Scale(g, Splat(k.g));
            b = Scale(b, Splat(k.b));
            a = Scale(a, Splat(k.a));
        }
        const __m128i opaque = _mm_cmpgt_epi16(a, Splat(239));
        if constexpr (K::kTextureAlpha && K::kFactor == Kernel::Factor::None &&
                      K::kCombine == Kernel::Combine::Replace) {
            // Sprite art is mostly wholly clear or wholly opaque: such groups need no blend.
            if (_mm_movemask_epi8(opaque) == 0xFFFF) {
                v = Narrowed<L>(r, g, b);
                _mm_storeu_si128(out, v);
                return;
            }
        }
        const __m128i sourceWeight = _mm_max_epi16(a, _mm_and_si128(opaque, Splat(256)));
        const __m128i destWeight = _mm_andnot_si128(opaque, _mm_srli_epi16(_mm_xor_si128(a, Splat(255)), 3));
        v = _mm_add_epi16(Weighted<L>(r, g, b, sourceWeight), Scaled<L>(dst, destWeight));
    }
    if constexpr (K::kCombine == Kernel::Combine::AddBlended) {
        v = AddSat<L>(dst, v);
    }
    if constexpr (K::kTextureAlpha) {
        v = Select(keep, dst, v);
    }
    _mm_storeu_si128(out, v);
}

// Runs a vector step of Width pixels over a row of at least Width pixels; each step gets
// its destination pixels as they were before the row was drawn. A row that does not
// divide into steps ends with one more step over its last Width pixels, overlapping the
// step before: a pixel depends only on its own source and destination, so both steps
// give it the same value. That step's destination is read before any step stores (read
// after, the load would wait for the overlapping store to go through). Returns the
// pixels done: none for a shorter row.
template <int Width, class Pixel, class StepFn>
inline int32_t Steps(Pixel* d, const uint32_t* source, int32_t count, StepFn&& step)
{
    if (count < Width) {
        return 0;
    }
    auto load = [](const Pixel* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    const int32_t last = count - Width;
    const __m128i lastDestination = load(d + last);
    for (int32_t i = 0; i < last; i += Width) {
        step(d + i, source + i, load(d + i));
    }
    step(d + last, source + last, lastDestination);
    return count;
}

// One colour blended over four 32-bit pixels: the source share (alpha byte 0) is the
// same for all; the destination's colour channels are scaled by inverse, which holds
// 255 - a in the colour lanes and 0 in the alpha lanes.
inline __m128i BlendOverFour(__m128i dst, __m128i sourceShare, __m128i inverse)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, dst), inverse);
    const __m128i hi = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, dst), inverse);
    return _mm_add_epi8(_mm_packus_epi16(lo, hi), sourceShare);
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
#if defined(__SSE2__)
        // Short spans (sprite edges, glyphs) cost less copied in place than the call
        // to memcpy; the last block overlaps the one before where the span is not a
        // whole number of blocks.
        if (count >= 4 && count <= 16) {
            auto copy = [d, source](int32_t i) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i)));
            };
            for (int32_t i = 0; i < count - 4; i += 4) {
                copy(i);
            }
            copy(count - 4);
            return;
        }
#endif
        if (count > 0) {
            std::memcpy(d, source, static_cast<size_t>(count) * 4);
        }
        return;
    }
    int32_t i = 0;
#if defined(__SSE2__)
    if constexpr (kVectorised<K> && std::is_same_v<Fmt, Pixels::ARGB8888>) {
        const __m128i fill = _mm_set1_epi32(static_cast<int>(fillRGB));
        i = Detail::Steps<4>(d, source, count, [&](uint32_t* dp, const uint32_t* sp, __m128i dst) {
            Detail::ShadeFour<K>(dp, sp, dst, fill, k);
        });
    } else if constexpr (kVectorised<K>) {
        const __m128i fillR = Detail::Splat((fillRGB >> 16) & 0xFF);
        const __m128i fillG = Detail::Splat((fillRGB >> 8) & 0xFF);
        const __m128i fillB = Detail::Splat(fillRGB & 0xFF);
        i = Detail::Steps<8>(d, source, count, [&](typename Fmt::Pixel* dp, const uint32_t* sp, __m128i dst) {
            Detail::ShadeEight<Fmt, K>(dp, sp, dst, fillR, fillG, fillB, k);
        });
    }
#endif
    for (; i < count; ++i) {
        K::Shade(d[i], source[i], fillRGB, k);
    }
}

// Count pixels of one 8.16 colour, as Kernel::ShadeColor gives each of them: stored
// above 240.0, untouched at 8.0 or less, blended by the integer alpha in between. The
// colour's share of a blend is formed once for the whole row.
template <class Fmt>
inline void FillColor(typename Fmt::Pixel* d, int32_t count, uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    const uint32_t c = Pixels::FromFixed(r, g, b);
    if (a > 0x00F00000u) {
        std::fill_n(d, count > 0 ? count : 0, Fmt::Pack(c));
        return;
    }
    if (a <= 0x00080000u) {
        return;
    }
    const uint32_t w = a >> 16;
    int32_t i = 0;
#if defined(__SSE2__)
    if constexpr (std::is_same_v<Fmt, Pixels::ARGB8888>) {
        const __m128i share = _mm_set1_epi32(static_cast<int>(Pixels::Weighted(c, w)));
        const __m128i inverse = _mm_set_epi16(0, short(255 - w), short(255 - w), short(255 - w), 0,
                                              short(255 - w), short(255 - w), short(255 - w));
        for (; i + 4 <= count; i += 4) {
            __m128i* p = reinterpret_cast<__m128i*>(d + i);
            _mm_storeu_si128(p, Detail::BlendOverFour(_mm_loadu_si128(p), share, inverse));
        }
    } else {
        const __m128i share = Detail::Splat(Fmt::Pack(Pixels::Weighted(c, w)));
        const __m128i inverse = Detail::Splat((255 - w) >> 3);
        for (; i + 8 <= count; i += 8) {
            __m128i* p = reinterpret_cast<__m128i*>(d + i);
            _mm_storeu_si128(
                p, _mm_add_epi16(share, Detail::Scaled<Detail::Layout<Fmt>>(_mm_loadu_si128(p), inverse)));
        }
    }
#endif
    for (; i < count; ++i) {
        d[i] = Fmt::Blend(c, d[i], w);
    }
}

} // namespace Compatibility::Rows
