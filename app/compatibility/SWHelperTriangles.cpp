#include "app/compatibility/SWHelper.h"

#include "app/Graphics.h"
#include "app/Texture.h"
#include "app/compatibility/QuadCopy.h"
#include "app/compatibility/TriangleRasterizer.h"

#include <cmath>
#include <cstring>

namespace Compatibility {

// What one strip or list call decided once for all its triangles.
struct SWHelper::Submission
{
    float minX;
    float maxX;
    float minY;
    float maxY;
    bool textured;
    bool textureAlpha;
    bool modulate;
    bool colorFill;
    bool additive;
    double textureWidth;
    double textureHeight;
    RasterTexture texture;
    RasterColor modulation;
    RasterColor fill;
    uint32_t pitch;
};

namespace {

// A vertex the game hands over, in either layout.
struct InputVertex
{
    float x;
    float y;
    float z;
    uint32_t color;
    float u;
    float v;
};

InputVertex ReadVertex(const uint8_t* data, bool colored)
{
    InputVertex in{};
    std::memcpy(&in.x, data, 12);
    if (colored) {
        std::memcpy(&in.color, data + 12, 4);
        std::memcpy(&in.u, data + 16, 8);
    } else {
        // Untextured vertices without a colour of their own draw in the modulation colour.
        in.color = 0xFFFFFFFF;
        std::memcpy(&in.u, data + 12, 8);
    }
    return in;
}

// Half a pixel away from the centre, then onto the screen: device -1..1 spans 0..size.
float MapToScreen(float device, float half, float centre)
{
    float s = half * device;
    if (s > 0.0f) {
        s = s + 0.5f;
    }
    if (s < 0.0f) {
        s = s - 0.5f;
    }
    return s + centre;
}

// Truncation toward zero into 16.16 (or any 32-bit fixed point); values beyond the 32-bit
// range wrap through 64 bits instead of being undefined.
int32_t ToFixed(double value)
{
    if (!std::isfinite(value)) {
        return 0;
    }
    value = std::fmax(std::fmin(value, 9.0e18), -9.0e18);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value))));
}

int FloorLog2(uint32_t value)
{
    int n = 0;
    while (value > 1) {
        value >>= 1;
        ++n;
    }
    return n;
}

uint32_t LerpChannel(uint32_t a, uint32_t b, int shift, float t)
{
    float ca = static_cast<float>((a >> shift) & 0xFF);
    float cb = static_cast<float>((b >> shift) & 0xFF);
    float c = (ca - cb) * t + cb;
    if (!(c > 0.0f)) {
        return 0;
    }
    return (c >= 255.0f ? 255u : static_cast<uint32_t>(c)) << shift;
}

// The point of edge b-a where the axis meets the bound; b lies outside.
void LerpVertex(ClipVertex& out, const ClipVertex& a, const ClipVertex& b, int axis, float bound)
{
    const float t = axis == 0 ? (bound - b.x) / (a.x - b.x) : (bound - b.y) / (a.y - b.y);
    out.x = (a.x - b.x) * t + b.x;
    out.y = (a.y - b.y) * t + b.y;
    out.u = (a.u - b.u) * t + b.u;
    out.v = (a.v - b.v) * t + b.v;
    out.color = LerpChannel(a.color, b.color, 24, t) | LerpChannel(a.color, b.color, 16, t) |
                LerpChannel(a.color, b.color, 8, t) | LerpChannel(a.color, b.color, 0, t);
}

uint32_t ModeIndex(bool textured, bool textureAlpha, bool gouraud, bool modulate, bool colorFill,
                   bool additive)
{
    return (additive ? kModeAdditive : 0) | (colorFill ? kModeColorFill : 0) |
           (textured ? kModeTextured : 0) | (textureAlpha ? kModeTextureAlpha : 0) |
           (gouraud ? kModeGouraud : 0) | (modulate ? kModeModulate : 0);
}

} // namespace

void SWHelper::DrawTriangleStrip(const void* vertices, int32_t count, uint32_t vertexFormat)
{
    if (mPixels == nullptr) {
        return;
    }
    DrawTriangles(ReadGraphicsState(), vertices, count, vertexFormat, true);
}

void SWHelper::DrawTriangleList(const void* vertices, int32_t count, uint32_t vertexFormat)
{
    if (mPixels == nullptr) {
        return;
    }
    DrawTriangles(ReadGraphicsState(), vertices, count, vertexFormat, false);
}

bool SWHelper::MakeRasterTexture(RasterTexture& out, double& width, double& height) const
{
    if (mTexture == nullptr || mTexels == nullptr) {
        return false;
    }
    const Platform::SurfaceDesc& desc = mTexture->GetSurface()->GetDesc();
    const uint32_t pitchTexels = static_cast<uint32_t>(desc.pitch) / 4;
    out.texels = mTexels;
    out.rowShift = 16 - FloorLog2(pitchTexels);
    out.uMask = static_cast<uint32_t>(desc.width - 1) << 16;
    out.vMask = static_cast<uint32_t>(desc.height - 1) << 16;
    width = static_cast<double>(static_cast<uint32_t>(desc.width));
    height = static_cast<double>(static_cast<uint32_t>(desc.height));
    return true;
}

void SWHelper::DrawTriangles(const SWDrawState& state, const void* vertices, int32_t count,
                             uint32_t vertexFormat, bool strip)
{
    if (mPixels == nullptr || vertices == nullptr || GetTargetFormat() == TargetFormat::None) {
        return;
    }
    const int32_t triangles = strip ? count - 2 : count / 3;
    if (triangles < 1) {
        return;
    }
    // A current texture that could not be locked has no texels to read: nothing is drawn.
    if (mTexture != nullptr && mTexels == nullptr) {
        return;
    }

    const bool colored = vertexFormat == kFormatColored;
    const size_t stride = colored ? 24 : 20;
    const Matrix& m = mTransform;
    const int hw = state.screenWidth / 2;
    const int hh = state.screenHeight / 2;
    mVertexBlock.resize(static_cast<size_t>(count));
    mVertexValid.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const InputVertex in = ReadVertex(static_cast<const uint8_t*>(vertices) + i * stride, colored);
        const float x0 = in.x * m.m[0] + in.y * m.m[4] + in.z * m.m[8] + m.m[12];
        const float y0 = in.x * m.m[1] + in.y * m.m[5] + in.z * m.m[9] + m.m[13];
        ClipVertex& out = mVertexBlock[i];
        out.x = MapToScreen(x0, static_cast<float>(hw), static_cast<float>(hw));
        out.y = MapToScreen(y0, static_cast<float>(-hh), static_cast<float>(hh));
        out.u = in.u;
        out.v = in.v;
        out.color = in.color;
        mVertexValid[i] =
            std::isfinite(out.x) && std::isfinite(out.y) && std::isfinite(out.u) && std::isfinite(out.v);
    }

    Submission s{};
    const float left = state.scaleX * state.clipX;
    const float top = state.scaleY * state.clipY;
    const float right = state.scaleX * (state.clipX + state.clipWidth);
    const float bottom = state.scaleY * (state.clipY + state.clipHeight);
    s.minX = left > 0.0f ? left : 0.0f;
    s.minY = top > 0.0f ? top : 0.0f;
    s.maxX =
        right < static_cast<float>(state.screenWidth) ? right : static_cast<float>(state.screenWidth - 1);
    s.maxY =
        bottom < static_cast<float>(state.screenHeight) ? bottom : static_cast<float>(state.screenHeight - 1);
    s.modulation = ColorRecord(state.material);
    const RasterColor& mod = s.modulation;
    s.modulate = !colored && !(mod.a > 240 && mod.r > 240 && mod.g > 240 && mod.b > 240);
    s.textured = MakeRasterTexture(s.texture, s.textureWidth, s.textureHeight);
    s.textureAlpha = s.textured && mTexture->mHasAlpha != 0;
    s.colorFill = state.colorFill;
    s.fill = state.colorFill ? RasterColor{0, 255, 255, 255} : RasterColor{0, 0, 0, 0};
    s.additive = state.blendMode == 1;
    s.pitch = static_cast<uint32_t>(mSurfaceDesc.pitch) /
              static_cast<uint32_t>(mSurfaceDesc.format.BytesPerPixel());

    if (strip && count == 4 && CopyStrip(s)) {
        return;
    }
    for (int32_t k = 0; k < triangles; ++k) {
        int32_t i0 = strip ? k : 3 * k;
        int32_t i1 = i0 + 1;
        int32_t i2 = i0 + 2;
        if (strip && (k & 1) != 0) {
            std::swap(i1, i2);
        }
        if (!mVertexValid[i0] || !mVertexValid[i1] || !mVertexValid[i2]) {
            continue;
        }
        ClipVertex* const triangle[3] = {&mVertexBlock[i0], &mVertexBlock[i1], &mVertexBlock[i2]};
        DrawPolygon(s, triangle);
    }
}

RasterVertex SWHelper::ToRaster(const Submission& s, const ClipVertex& c)
{
    RasterVertex r{};
    r.x = ToFixed(static_cast<double>(c.x * 65536.0f));
    r.y = ToFixed(static_cast<double>(c.y * 65536.0f));
    if (s.textured) {
        r.u = ToFixed(static_cast<double>(c.u) * s.textureWidth * 65536.0);
        r.v = ToFixed(static_cast<double>(c.v) * s.textureHeight * 65536.0);
    } else {
        r.a = static_cast<int32_t>(((c.color >> 24) & 0xFF) << 16);
        r.r = static_cast<int32_t>(((c.color >> 16) & 0xFF) << 16);
        r.g = static_cast<int32_t>(((c.color >> 8) & 0xFF) << 16);
        r.b = static_cast<int32_t>((c.color & 0xFF) << 16);
    }
    return r;
}

// A strip that stays inside the clip reaches the rasteriser with its corners untouched by
// the clip passes; an upright, unscaled sprite among them is copied row by row.
bool SWHelper::CopyStrip(const Submission& s)
{
    RasterVertex corners[4];
    for (int i = 0; i < 4; ++i) {
        const ClipVertex& c = mVertexBlock[i];
        if (!mVertexValid[i] || c.x < s.minX || c.x > s.maxX || c.y < s.minY || c.y > s.maxY) {
            return false;
        }
        corners[i] = ToRaster(s, c);
    }
    const uint32_t mode =
        ModeIndex(s.textured, s.textureAlpha, !s.textured, s.modulate, s.colorFill, s.additive);
    const RasterTarget target{mPixels, s.pitch, mSurfaceDesc.width, mSurfaceDesc.height};
    return CopyQuad(GetTargetFormat(), mode, corners, target, &s.texture, &s.modulation, &s.fill);
}

void SWHelper::DrawPolygon(const Submission& s, ClipVertex* const* triangle)
{
    ClipVertex* clipped[kClipPoolSize];
    const uint32_t n = ClipToScreen(clipped, triangle, s.minX, s.maxX, s.minY, s.maxY);
    if (n < 3) {
        return;
    }
    RasterVertex raster[kClipPoolSize];
    for (uint32_t j = 0; j < n; ++j) {
        const ClipVertex& c = *clipped[j];
        if (!std::isfinite(c.x) || !std::isfinite(c.y)) {
            return;
        }
        raster[j] = ToRaster(s, c);
    }
    for (uint32_t i = 2; i < n; ++i) {
        const RasterVertex fan[3] = {raster[0], raster[i - 1], raster[i]};
        DrawTriangle(s.textured, s.textureAlpha, !s.textured, s.modulate, fan, mPixels, s.pitch, &s.texture,
                     &s.modulation, &s.fill, s.colorFill, s.additive);
    }
}

void SWHelper::DrawTriangle(bool textured, bool textureAlpha, bool gouraud, bool modulate,
                            const RasterVertex* vertices, void* pixels, uint32_t pitch,
                            const RasterTexture* texture, const RasterColor* modulation,
                            const RasterColor* fill, bool colorFill, bool additive)
{
    const TriangleRasterizerTable* table = TriangleRasterizers(GetTargetFormat());
    if (table == nullptr || pixels == nullptr) {
        return;
    }
    const uint32_t index = ModeIndex(textured, textureAlpha, gouraud, modulate, colorFill, additive);
    const RasterTarget target{pixels, pitch, mSurfaceDesc.width, mSurfaceDesc.height};
    (*table)[index](vertices, target, texture, modulation, fill);
}

ClipVertex* SWHelper::TakePoolVertex()
{
    return &mClipPool[mClipPoolCount++ % kClipPoolSize];
}

// One Sutherland-Hodgman pass: keeps the side of the bound that keepAbove names (a vertex
// on the bound, or one that is not a number, counts as kept).
uint32_t SWHelper::ClipPass(ClipVertex** output, ClipVertex* const* input, int axis, bool keepAbove,
                            float bound)
{
    uint32_t count = 0;
    while (input[count] != nullptr) {
        ++count;
    }
    auto outside = [&](const ClipVertex* v) {
        const float c = axis == 0 ? v->x : v->y;
        return keepAbove ? c < bound : c > bound;
    };
    uint32_t written = 0;
    for (uint32_t i = 0; i < count; ++i) {
        ClipVertex* cur = input[i];
        ClipVertex* next = input[(i + 1) % count];
        const bool curOut = outside(cur);
        const bool nextOut = outside(next);
        if (!curOut) {
            output[written++] = cur;
        }
        if (curOut != nextOut) {
            ClipVertex* made = TakePoolVertex();
            if (curOut) {
                LerpVertex(*made, *next, *cur, axis, bound);
            } else {
                LerpVertex(*made, *cur, *next, axis, bound);
            }
            output[written++] = made;
        }
    }
    output[written] = nullptr;
    return written;
}

uint32_t SWHelper::ClipToScreen(ClipVertex** output, ClipVertex* const* input, float minX, float maxX,
                                float minY, float maxY)
{
    mClipPoolCount = 0;
    ClipVertex* triangle[4] = {input[0], input[1], input[2], nullptr};
    ClipVertex* working[kClipPoolSize];
    if (ClipPass(working, triangle, 0, true, minX) < 3) {
        return 0;
    }
    if (ClipPass(output, working, 0, false, maxX) < 3) {
        return 0;
    }
    if (ClipPass(working, output, 1, true, minY) < 3) {
        return 0;
    }
    return ClipPass(output, working, 1, false, maxY);
}

} // namespace Compatibility
