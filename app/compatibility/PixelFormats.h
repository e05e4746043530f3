#pragma once

#include <cstdint>

// Pixel arithmetic shared by the triangle rasterisers and the span blitters. Every
// operation truncates: no rounding, no dithering. 32-bit colours are 0xAARRGGBB;
// red and blue travel together in one lane (0x00FF00FF), green alone (0x0000FF00).
namespace Compatibility::Pixels {

// Source weighted by w (0..255); alpha byte 0. Red and blue share a lane as always;
// green rides in the upper half of a 64-bit word, so one product serves all three
// (each channel's product stays below 2^16 and never reaches the next lane).
constexpr uint32_t Weighted(uint32_t s, uint32_t w)
{
    const uint64_t lanes = (s & 0x00FF00FFu) | (static_cast<uint64_t>(s & 0x0000FF00u) << 24);
    const uint64_t product = (lanes * w) >> 8;
    return (static_cast<uint32_t>(product) & 0x00FF00FFu) |
           (static_cast<uint32_t>(product >> 24) & 0x0000FF00u);
}

// Source over destination with weight w (0..255); the two weights sum to less than one,
// so no channel overflows; alpha byte 0.
constexpr uint32_t Blend(uint32_t s, uint32_t d, uint32_t w)
{
    return Weighted(s, w) + Weighted(d, 255 - w);
}

// Each colour channel times its own factor (0..255), >> 8; alpha byte 0.
constexpr uint32_t Modulate(uint32_t s, uint32_t kr, uint32_t kg, uint32_t kb)
{
    return ((((s & 0x00FF0000u) * kr) & 0xFF000000u) | (((s & 0x0000FF00u) * kg) & 0x00FF0000u) |
            (((s & 0x000000FFu) * kb) & 0x0000FF00u)) >>
           8;
}

// Channel by channel sum clamped at 255; no carry into the next channel; alpha byte 0.
constexpr uint32_t AddSat(uint32_t d, uint32_t s)
{
    uint32_t r = (d & 0x00FF0000u) + (s & 0x00FF0000u);
    uint32_t g = (d & 0x0000FF00u) + (s & 0x0000FF00u);
    uint32_t b = (d & 0x000000FFu) + (s & 0x000000FFu);
    r = r > 0x00FF0000u ? 0x00FF0000u : r;
    g = g > 0x0000FF00u ? 0x0000FF00u : g;
    b = b > 0x000000FFu ? 0x000000FFu : b;
    return r | g | b;
}

// The integer parts of an 8.16 colour as one 0x00RRGGBB word.
constexpr uint32_t FromFixed(uint32_t r, uint32_t g, uint32_t b)
{
    return (r & 0x00FF0000u) | ((g >> 8) & 0x0000FF00u) | ((b >> 16) & 0x000000FFu);
}

// The 32-bit render surface: pixels are stored as they are formed.
struct ARGB8888
{
    using Pixel = uint32_t;
    static constexpr bool kStoresAlpha = true;

    static constexpr Pixel Pack(uint32_t c) { return c; }
    static constexpr Pixel Blend(uint32_t c, Pixel d, uint32_t a) { return Pixels::Blend(c, d, a); }
    static constexpr Pixel AddSat(Pixel d, Pixel v) { return Pixels::AddSat(d, v); }
};

// The 16-bit formats keep the top bits of each channel. A blend scales the destination
// fields as they stand by (255 - a) >> 3 over 32, and adds the source share narrowed to
// the field; the two parts never exceed a field, so whole words are added.
template <uint32_t RedMask, uint32_t GreenMask, int RedShift, int GreenBits> struct RGB16
{
    using Pixel = uint16_t;
    static constexpr bool kStoresAlpha = false;
    static constexpr uint32_t kRedMask = RedMask;
    static constexpr uint32_t kGreenMask = GreenMask;
    static constexpr uint32_t kBlueMask = 0x001F;

    static constexpr Pixel Pack(uint32_t c)
    {
        return static_cast<Pixel>(((c >> (24 - RedShift - 5)) & RedMask) |
                                  ((c >> (16 - 5 - GreenBits)) & GreenMask) | ((c >> 3) & 0x001Fu));
    }

    // The opaque colour a pixel stands for: each field's bits repeated below it, so that
    // full fields are full channels and Pack gives the pixel back.
    static constexpr uint32_t Unpack(Pixel p)
    {
        const uint32_t r = (p & RedMask) >> RedShift;
        const uint32_t g = (p & GreenMask) >> 5;
        const uint32_t b = p & 0x001Fu;
        return 0xFF000000u | ((r << 3 | r >> 2) << 16) |
               ((g << (8 - GreenBits) | g >> (2 * GreenBits - 8)) << 8) | (b << 3 | b >> 2);
    }

    static constexpr Pixel Blend(uint32_t c, Pixel d, uint32_t a)
    {
        const uint32_t source = Pack(Pixels::Weighted(c, a));
        // The destination's green field moves to bit 21 and up, clear of red and blue,
        // so one product scales all three fields.
        const uint32_t w = (255 - a) >> 3;
        const uint32_t rbMask = RedMask | 0x001Fu;
        const uint32_t product = ((d & rbMask) | ((d & GreenMask) << 16)) * w;
        const uint32_t dest = ((product >> 5) & rbMask) | ((product >> 21) & GreenMask);
        return static_cast<Pixel>(source + dest);
    }

    static constexpr Pixel AddSat(Pixel d, Pixel v)
    {
        uint32_t r = (d & RedMask) + (v & RedMask);
        uint32_t g = (d & GreenMask) + (v & GreenMask);
        uint32_t b = (d & 0x001Fu) + (v & 0x001Fu);
        r = r > RedMask ? RedMask : r;
        g = g > GreenMask ? GreenMask : g;
        b = b > 0x001Fu ? 0x001Fu : b;
        return static_cast<Pixel>(r | g | b);
    }
};

using RGB565 = RGB16<0xF800, 0x07E0, 11, 6>;
using RGB555 = RGB16<0x7C00, 0x03E0, 10, 5>;

} // namespace Compatibility::Pixels
