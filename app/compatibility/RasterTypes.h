#pragma once

#include <cstdint>

namespace Compatibility {

// One triangle corner as every rasteriser receives it: positions and texel
// coordinates in 16.16, colour channels in 8.16 (0..255 in bits 16..23).
struct RasterVertex
{
    int32_t x;
    int32_t y;
    int32_t a;
    int32_t r;
    int32_t g;
    int32_t b;
    int32_t u;
    int32_t v;
};

// The current texture as the rasterisers see it. Texels are 0xAARRGGBB;
// the texel for (u, v) is at ((v & vMask) >> rowShift) + ((u >> 16) & (uMask >> 16)).
struct RasterTexture
{
    const uint32_t* texels;
    int32_t rowShift;
    uint32_t uMask;
    uint32_t vMask;
};

// Modulation and fill colours: alpha, red, green, blue.
struct RasterColor
{
    uint32_t a;
    uint32_t r;
    uint32_t g;
    uint32_t b;
};

// The six mode bits of the triangle and span dispatch index.
constexpr uint32_t kModeModulate = 1;
constexpr uint32_t kModeGouraud = 2;
constexpr uint32_t kModeTextureAlpha = 4;
constexpr uint32_t kModeTextured = 8;
constexpr uint32_t kModeColorFill = 16;
constexpr uint32_t kModeAdditive = 32;

enum class TargetFormat {
    None,
    ARGB8888,
    RGB565,
    RGB555,
};

// Tells the three drawable formats apart in the order the dispatchers test them:
// any 32-bit surface first, whatever its masks say.
constexpr TargetFormat TargetFormatOf(uint32_t bitCount, uint32_t redMask, uint32_t greenMask,
                                      uint32_t blueMask)
{
    if (bitCount == 32) {
        return TargetFormat::ARGB8888;
    }
    if (redMask == 0xF800 && greenMask == 0x07E0 && blueMask == 0x001F) {
        return TargetFormat::RGB565;
    }
    if (redMask == 0x7C00 && greenMask == 0x03E0 && blueMask == 0x001F) {
        return TargetFormat::RGB555;
    }
    return TargetFormat::None;
}

constexpr const char* TargetFormatName(TargetFormat format)
{
    switch (format) {
    case TargetFormat::ARGB8888:
        return "ARGB8888";
    case TargetFormat::RGB565:
        return "RGB565";
    case TargetFormat::RGB555:
        return "RGB555";
    case TargetFormat::None:
        break;
    }
    return "None";
}

// A locked destination as the rasterisers address it; width and height bound
// every write, whatever the vertices say.
struct RasterTarget
{
    void* pixels;
    uint32_t pitch; // in pixels
    int32_t width;
    int32_t height;
};

using TriangleRasterizer = void (*)(const RasterVertex* vertices, const RasterTarget& target,
                                    const RasterTexture* texture, const RasterColor* modulation,
                                    const RasterColor* fill);

using SpanBlitter = void (*)(void* destination, const uint32_t* source, int32_t count,
                             const RasterColor* modulation, const RasterColor* fill);

} // namespace Compatibility
