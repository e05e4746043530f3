#include "app/compatibility/SWHelper.h"

#include "app/Console.h"
#include "app/Graphics.h"
#include "app/Shader.h"
#include "app/Texture.h"
#include "app/compatibility/SpanBlitter.h"

#include <algorithm>
#include <cmath>

namespace Compatibility {

namespace {

// A texture surface the rasterisers may read: 32-bit texels, and at least one whole row.
bool IsReadableTexture(const Platform::Surface* surface)
{
    if (surface == nullptr) {
        return false;
    }
    const Platform::SurfaceDesc& desc = surface->GetDesc();
    return desc.format.bitsPerPixel == 32 && desc.width > 0 && desc.height > 0 &&
           desc.pitch >= desc.width * 4;
}

// The format of a texture surface a whole-texture blit may copy, None for any other: a
// fast-blit texture keeps the display format it was made in, which a mode change since
// may have made differ from the render surface's.
TargetFormat BlitSourceFormat(const Platform::Surface* surface)
{
    if (surface == nullptr) {
        return TargetFormat::None;
    }
    const Platform::SurfaceDesc& desc = surface->GetDesc();
    const Platform::PixelFormat& f = desc.format;
    const bool whole = desc.width > 0 && desc.height > 0 && desc.pitch >= desc.width * f.BytesPerPixel();
    return whole ? TargetFormatOf(static_cast<uint32_t>(f.bitsPerPixel), f.redMask, f.greenMask, f.blueMask)
                 : TargetFormat::None;
}

// A colour component as a channel value 0..255; components outside 0..1 (or not numbers)
// are held to the range rather than wrapping into another colour.
uint32_t ChannelOf(float component)
{
    if (!(component > 0.0f)) {
        return 0;
    }
    if (component >= 1.0f) {
        return 255;
    }
    return static_cast<uint32_t>(component * 255.0f) & 0xFF;
}

RasterColor FillOf(bool colorFill)
{
    return colorFill ? RasterColor{0, 255, 255, 255} : RasterColor{0, 0, 0, 0};
}

} // namespace

SWHelper::SWHelper() = default;

RasterColor SWHelper::ColorRecord(const std::array<float, 4>& rgba)
{
    return {ChannelOf(rgba[3]), ChannelOf(rgba[0]), ChannelOf(rgba[1]), ChannelOf(rgba[2])};
}

SWHelper::~SWHelper() = default;

TargetFormat SWHelper::GetTargetFormat() const
{
    const Platform::PixelFormat& f = mSurfaceDesc.format;
    return TargetFormatOf(static_cast<uint32_t>(f.bitsPerPixel), f.redMask, f.greenMask, f.blueMask);
}

SWDrawState SWHelper::ReadGraphicsState()
{
    const Graphics& g = theGraphics;
    SWDrawState state;
    state.screenWidth = g.mWidth;
    state.screenHeight = g.mHeight;
    state.scaleX = g.mScaleX;
    state.scaleY = g.mScaleY;
    state.clipX = g.mClip.x;
    state.clipY = g.mClip.y;
    state.clipWidth = g.mClip.w;
    state.clipHeight = g.mClip.h;
    const Color& m = g.mMaterial.diffuse;
    state.material = {m.r, m.g, m.b, m.a};
    state.color = {g.mColor.r, g.mColor.g, g.mColor.b, g.mColor.a};
    state.blendMode = g.mBlendMode;
    state.colorFill = g.mColorFill;
    return state;
}

// The display's own format: the one the device's primary surface reports, or the
// windowed desktop's 32 bits before there is one.
void SWHelper::CreateSurface()
{
    Platform::PixelFormat format = theGraphics.mPrimaryDesc.format;
    if (TargetFormatOf(format.bitsPerPixel, format.redMask, format.greenMask, format.blueMask) ==
        TargetFormat::None) {
        format = Platform::PixelFormat::XRGB8888();
    }
    CreateSurface(theGraphics.mWidth, theGraphics.mHeight, format);
}

void SWHelper::CreateSurface(int width, int height, const Platform::PixelFormat& format)
{
    ReleaseSurface();
    mSurfaceDesc = Platform::SurfaceDesc{};
    mPixels = nullptr;
    if (width < 1 || height < 1 || width > 16384 || height > 16384) {
        if (theConsole != nullptr) {
            theConsole->Printf("Could not create software render surface: %s",
                               DXErrorName(DXResult::InvalidParams).CStr());
        }
        return;
    }
    mSurface = std::make_unique<Platform::Surface>(width, height, format);
    mSurfaceDesc = mSurface->GetDesc();
}

void SWHelper::ReleaseSurface()
{
    if (mSurface) {
        Unlock();
    }
    mSurface.reset();
}

int SWHelper::Lock()
{
    if (!mSurface) {
        return DXResult::SurfaceLost;
    }
    if (mPixels == nullptr) {
        mPixels = mSurface->Lock();
    }
    return mPixels != nullptr ? DXResult::OK : DXResult::Generic;
}

void SWHelper::Unlock()
{
    ClearTexture();
    if (mSurface && mPixels != nullptr) {
        mSurface->Unlock();
        mPixels = nullptr;
    }
}

int SWHelper::Present()
{
    if (!mSurface) {
        return DXResult::SurfaceLost;
    }
    if (!theGraphics.mBackBuffer) {
        return DXResult::SurfaceLost;
    }
    theGraphics.mBackBuffer->CopyFrom(*mSurface);
    return DXResult::OK;
}

void SWHelper::SetTransform()
{
    const Graphics& g = theGraphics;
    SetTransform(g.mWorld, g.mView, g.mProjection, g.mScaleX, g.mScaleY);
}

void SWHelper::SetTransform(const Matrix& world, const Matrix& view, const Matrix& projection, float scaleX,
                            float scaleY)
{
    Matrix worldView;
    MatrixMultiply(worldView, world, view);
    const float* m = worldView.m;
    mTranslationOnly =
        m[0] == scaleX && m[4] == 0.0f && m[8] == 0.0f && m[1] == 0.0f && m[5] == scaleY && m[9] == 0.0f;
    MatrixMultiply(mTransform, worldView, projection);
}

// A texture is current only while its surface is locked for reading; one that cannot be
// read as 32-bit texels stays current without texels, and draws nothing.
void SWHelper::SetTexture(Shader* shader)
{
    Texture* texture = shader != nullptr ? shader->mTexture : nullptr;
    if (texture == mTexture) {
        return;
    }
    ClearTexture();
    if (texture == nullptr) {
        return;
    }
    mTexture = texture;
    Platform::Surface* surface = texture->GetSurface();
    if (IsReadableTexture(surface)) {
        mTexels = reinterpret_cast<const uint32_t*>(surface->Lock());
    }
}

void SWHelper::ClearTexture()
{
    if (mTexture != nullptr && mTexels != nullptr) {
        mTexture->GetSurface()->Unlock();
    }
    mTexture = nullptr;
    mTexels = nullptr;
}

void SWHelper::BlitTexture(Texture* texture, int x, int y)
{
    if (!theGraphics.mSoftware) {
        return;
    }
    BlitTexture(ReadGraphicsState(), theGraphics.mTranslation.x, theGraphics.mTranslation.y, texture, x, y);
}

// A whole texture copied 1:1, cut to the clip rectangle and to the render surface.
void SWHelper::BlitTexture(const SWDrawState& state, float translationX, float translationY, Texture* texture,
                           int x, int y)
{
    const TargetFormat texelFormat = BlitSourceFormat(texture != nullptr ? texture->GetSurface() : nullptr);
    if (texelFormat == TargetFormat::None || !mSurface) {
        return;
    }
    const SpanBlitterTable* blitters = SpanBlitters(GetTargetFormat());
    if (blitters == nullptr) {
        return;
    }
    float left = static_cast<float>(x) + translationX;
    float top = static_cast<float>(y) + translationY;
    left *= state.scaleX;
    top *= state.scaleY;
    const float clipLeft = state.clipX * state.scaleX;
    const float clipTop = state.clipY * state.scaleY;
    const float clipRight = clipLeft + state.clipWidth * state.scaleX;
    const float clipBottom = clipTop + state.clipHeight * state.scaleY;
    if (!std::isfinite(left) || !std::isfinite(top) || std::fabs(left) > 1e9f || std::fabs(top) > 1e9f) {
        return;
    }
    // Destination and source edges; all further cuts keep them in step.
    int64_t dl = static_cast<int64_t>(left);
    int64_t dt = static_cast<int64_t>(top);
    int64_t dr = dl + texture->mWidth;
    int64_t db = dt + texture->mHeight;
    int64_t sl = 0;
    int64_t st = 0;
    if (clipLeft > dr || dl > clipRight || clipTop > db || dt > clipBottom) {
        return;
    }
    if (dl < clipLeft) {
        sl = static_cast<int64_t>(clipLeft - dl);
        dl = static_cast<int64_t>(clipLeft);
    }
    if (dt < clipTop) {
        st = static_cast<int64_t>(clipTop - dt);
        dt = static_cast<int64_t>(clipTop);
    }
    if (dr > clipRight) {
        dr -= static_cast<int64_t>(dr - clipRight);
    }
    if (db > clipBottom) {
        db -= static_cast<int64_t>(db - clipBottom);
    }
    // The render surface and the texture's own pixels bound the copy whatever the rectangles say.
    const Platform::SurfaceDesc& source = texture->GetSurface()->GetDesc();
    if (dl < 0) {
        sl -= dl;
        dl = 0;
    }
    if (dt < 0) {
        st -= dt;
        dt = 0;
    }
    dr = std::min<int64_t>({dr, mSurfaceDesc.width, dl + source.width - sl});
    db = std::min<int64_t>({db, mSurfaceDesc.height, dt + source.height - st});
    if (dr <= dl || db <= dt || sl < 0 || st < 0) {
        return;
    }
    const SpanBlitter copy = (*blitters)[kModeTextured];
    const RasterColor none{};
    const int bytesPerPixel = mSurfaceDesc.format.BytesPerPixel();
    const int texelBytes = source.format.BytesPerPixel();
    const auto width = static_cast<int32_t>(dr - dl);
    uint8_t* pixels = mSurface->GetPixels();
    const uint8_t* texels = texture->GetSurface()->GetPixels();
    std::array<uint32_t, 256> wide;
    for (int64_t row = 0; row < db - dt; ++row) {
        uint8_t* d = pixels + (dt + row) * mSurfaceDesc.pitch + dl * bytesPerPixel;
        const uint8_t* s = texels + (st + row) * source.pitch + sl * texelBytes;
        if (texelFormat == TargetFormat::ARGB8888) {
            copy(d, reinterpret_cast<const uint32_t*>(s), width, &none, &none);
            continue;
        }
        // 16-bit texels go through the same copy a stretch at a time, as the 32-bit
        // texels they stand for.
        for (int32_t i = 0; i < width; i += static_cast<int32_t>(wide.size())) {
            const int32_t n = std::min(static_cast<int32_t>(wide.size()), width - i);
            WidenPixels(texelFormat, reinterpret_cast<const uint16_t*>(s) + i, wide.data(), n);
            copy(d + i * bytesPerPixel, wide.data(), n, &none, &none);
        }
    }
    mSurface->MarkChanged();
}

void SWHelper::BlitSpan(void* destination, const uint32_t* source, int32_t count, uint8_t alphaFlag)
{
    if (mPixels == nullptr) {
        return;
    }
    const SWDrawState state = ReadGraphicsState();
    const RasterColor fill = FillOf(state.colorFill);
    DrawSpanColored(state, destination, source, count, alphaFlag, &fill, state.colorFill);
}

void SWHelper::BlitSpanPlain(void* destination, const uint32_t* source, int32_t count, uint8_t alphaFlag,
                             const Platform::PixelFormat& destinationFormat)
{
    const bool colorFill = theGraphics.mColorFill;
    const RasterColor fill = FillOf(colorFill);
    const TargetFormat format = TargetFormatOf(destinationFormat.bitsPerPixel, destinationFormat.redMask,
                                               destinationFormat.greenMask, destinationFormat.blueMask);
    DrawSpanPlain(theGraphics.mBlendMode, format, destination, source, count, alphaFlag, &fill, colorFill);
}

void SWHelper::DrawSpanColored(const SWDrawState& state, void* destination, const uint32_t* source,
                               int32_t count, uint8_t alphaFlag, const RasterColor* fill, bool colorFill)
{
    if (mPixels == nullptr) {
        return;
    }
    const float alpha = state.color[3];
    if (alpha == 0.0f) {
        return;
    }
    const bool blend = alpha != 1.0f || alphaFlag != 0;
    const RasterColor modulation = ColorRecord(state.color);
    const bool modulate =
        !(modulation.a > 240 && modulation.r > 240 && modulation.g > 240 && modulation.b > 240);
    const uint32_t index = kModeTextured | (state.blendMode == 1 ? kModeAdditive : 0) |
                           (colorFill ? kModeColorFill : 0) | (blend ? kModeTextureAlpha : 0) |
                           (modulate ? kModeModulate : 0);
    const SpanBlitterTable* blitters = SpanBlitters(GetTargetFormat());
    if (blitters != nullptr && count > 0) {
        (*blitters)[index](destination, source, count, &modulation, fill);
    }
}

void SWHelper::DrawSpanPlain(int blendMode, TargetFormat format, void* destination, const uint32_t* source,
                             int32_t count, uint8_t alphaFlag, const RasterColor* fill, bool colorFill)
{
    const RasterColor modulation{255, 255, 255, 255};
    const uint32_t index = kModeTextured | (blendMode == 1 ? kModeAdditive : 0) |
                           (colorFill ? kModeColorFill : 0) | (alphaFlag != 0 ? kModeTextureAlpha : 0);
    const SpanBlitterTable* blitters = SpanBlitters(format);
    if (blitters != nullptr && count > 0) {
        (*blitters)[index](destination, source, count, &modulation, fill);
    }
}

} // namespace Compatibility
