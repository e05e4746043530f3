#include "app/compatibility/QuadCopy.h"

#include "app/compatibility/TriangleRasterizerMembers.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace Compatibility {

namespace {

// The triangle walk steps in 16.16 and drifts by a few units (1/65536 of a pixel) per row and
// per pixel it steps over. Near a pixel or texel boundary that drift may tip an edge pixel or
// a texel to its neighbour; quads that come within an eighth of a pixel of one, or are too
// large for the margin to hold, are left to the walk, so the copy always draws what it would.
constexpr int64_t kLargestSide = int64_t(1024) << 16;
constexpr int64_t kMargin = 0x2000;

bool ClearOfBoundary(int64_t value)
{
    const int64_t fraction = value & 0xFFFF;
    return fraction >= kMargin && fraction <= 0x10000 - kMargin;
}

// Corners placed in floating point land a few units off the texel grid, so a quad may map
// not quite one to one. The walk interpolates between the corners: each pixel's texel
// coordinate less its position lies between the corners' own, give or take the drift. Where
// those all fall clear inside one texel, every pixel takes the texel the first corner's names.
bool SameTexel(int64_t offset, int64_t first)
{
    return (offset >> 16) == (first >> 16) && ClearOfBoundary(offset);
}

// The rectangle in 16.16, and the texel coordinates less the position at its first corner.
struct Rectangle
{
    int64_t left;
    int64_t top;
    int64_t right;
    int64_t bottom;
    int64_t uOffset;
    int64_t vOffset;
};

bool FindRectangle(const RasterVertex* p, Rectangle& r)
{
    // Corners 0 and 3 are opposite, so the triangles share the diagonal 1-2 and cover the
    // rectangle once.
    const RasterVertex& a = p[0];
    const RasterVertex& d = p[3];
    const bool upright = (p[1].x == a.x && p[1].y == d.y && p[2].x == d.x && p[2].y == a.y) ||
                         (p[1].x == d.x && p[1].y == a.y && p[2].x == a.x && p[2].y == d.y);
    if (!upright || a.x == d.x || a.y == d.y) {
        return false;
    }
    r = {std::min<int64_t>(a.x, d.x), std::min<int64_t>(a.y, d.y), std::max<int64_t>(a.x, d.x),
         std::max<int64_t>(a.y, d.y), int64_t(a.u) - a.x,          int64_t(a.v) - a.y};
    for (int i = 0; i < 4; ++i) {
        if (!SameTexel(int64_t(p[i].u) - p[i].x, r.uOffset) ||
            !SameTexel(int64_t(p[i].v) - p[i].y, r.vOffset)) {
            return false;
        }
    }
    return r.right - r.left <= kLargestSide && r.bottom - r.top <= kLargestSide && ClearOfBoundary(r.left) &&
           ClearOfBoundary(r.right) && ClearOfBoundary(r.top) && ClearOfBoundary(r.bottom);
}

// Each row shaded by the member's own kernel, with the constants it forms per triangle.
template <class Fmt, class K>
bool ShadeRows(const Rectangle& r, const RasterTarget& target, const RasterTexture& texture,
               const RasterColor* modulation, const RasterColor* fill)
{
    // The pixels whose sample points (whole coordinates) the rectangle holds, as the walk
    // takes them, on the surface.
    const int64_t left = std::max<int64_t>(Walk::Ceil16(r.left), 0);
    const int64_t right = std::min<int64_t>(Walk::Ceil16(r.right), target.width);
    const int64_t top = std::max<int64_t>(Walk::Ceil16(r.top), 0);
    const int64_t bottom = std::min<int64_t>(Walk::Ceil16(r.bottom), target.height);
    if (left >= right || top >= bottom) {
        return true;
    }
    // A row is one run of texels only when it neither wraps around the texture nor meets
    // a column mask that is not a power of two less one.
    const int64_t count = right - left;
    const int64_t column = ((left << 16) + r.uOffset) >> 16;
    const uint32_t uMask = texture.uMask >> 16;
    if ((uMask & (uMask + 1)) != 0 || column < 0 || column + count - 1 > uMask) {
        return false;
    }
    const RasterColor m = K::kReadsModulation ? *modulation : RasterColor{};
    const Kernel::Weights constant = Kernel::MakeWeights<Kernel::Factor::Modulate>(m, 0, 0, 0, 0);
    const uint32_t fillRGB = K::kReadsFill ? Kernel::FillWord(*fill) : 0;
    const uint32_t rowShift = static_cast<uint32_t>(texture.rowShift) & 31;
    for (int64_t y = top; y < bottom; ++y) {
        const uint32_t v = static_cast<uint32_t>((y << 16) + r.vOffset);
        const uint32_t* source = texture.texels + ((v & texture.vMask) >> rowShift) + column;
        auto* destination =
            static_cast<typename Fmt::Pixel*>(target.pixels) + static_cast<size_t>(y) * target.pitch;
        Rows::Shade<Fmt, K>(destination + left, source, static_cast<int32_t>(count), fillRGB, constant);
    }
    return true;
}

using RowShader = bool (*)(const Rectangle&, const RasterTarget&, const RasterTexture&, const RasterColor*,
                           const RasterColor*);

// Textured modes without gouraud colour whose kernel reads the texels (a fill colour
// that ignores them is drawn by the walk with texels of its own).
template <class Fmt, uint32_t I> constexpr RowShader Shader()
{
    if constexpr ((I & kModeTextured) == 0 || (I & kModeGouraud) != 0) {
        return nullptr;
    } else if constexpr (!Members::TexturedKernel<Fmt, I>::kReadsTexel) {
        return nullptr;
    } else {
        return &ShadeRows<Fmt, Members::TexturedKernel<Fmt, I>>;
    }
}

template <class Fmt, size_t... I> constexpr std::array<RowShader, 64> MakeShaders(std::index_sequence<I...>)
{
    return {Shader<Fmt, static_cast<uint32_t>(I)>()...};
}

template <class Fmt> RowShader ShaderOf(uint32_t mode)
{
    static constexpr std::array<RowShader, 64> shaders = MakeShaders<Fmt>(std::make_index_sequence<64>());
    return mode < shaders.size() ? shaders[mode] : nullptr;
}

} // namespace

bool CopyQuad(TargetFormat format, uint32_t mode, const RasterVertex* strip, const RasterTarget& target,
              const RasterTexture* texture, const RasterColor* modulation, const RasterColor* fill)
{
    RowShader shade = nullptr;
    switch (format) {
    case TargetFormat::ARGB8888:
        shade = ShaderOf<Pixels::ARGB8888>(mode);
        break;
    case TargetFormat::RGB565:
        shade = ShaderOf<Pixels::RGB565>(mode);
        break;
    case TargetFormat::RGB555:
        shade = ShaderOf<Pixels::RGB555>(mode);
        break;
    case TargetFormat::None:
        break;
    }
    Rectangle r{};
    if (shade == nullptr || texture == nullptr || texture->texels == nullptr || !FindRectangle(strip, r)) {
        return false;
    }
    return shade(r, target, *texture, modulation, fill);
}

} // namespace Compatibility
