#pragma once

#include "app/compatibility/RasterTypes.h"

#include <array>
#include <cstdint>
#include <memory>

class Shader;
class Texture;

namespace Compatibility {

// The working vertex of triangle submission and of the clip pool: screen pixels,
// texture coordinates, 0xAARRGGBB.
struct ClipVertex
{
    float x;
    float y;
    float u;
    float v;
    uint32_t color;
};

// What the dispatchers need to know of a surface: size, pitch in bytes and pixel format.
struct SWSurfaceDesc
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    uint32_t bitCount = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    uint32_t alphaMask = 0;
};

// The software path of the graphics device: one render surface in system memory in
// the display's format, drawn into by triangle rasterisers and span blitters.
class SWHelper
{
public:
    static constexpr uint32_t kFormatColored = 0x142; // x, y, z, colour, u, v
    static constexpr uint32_t kFormatTextured = 0x102; // x, y, z, u, v
    static constexpr int kClipPoolSize = 64;

    SWHelper();
    virtual ~SWHelper();
    SWHelper(const SWHelper&) = delete;
    SWHelper& operator=(const SWHelper&) = delete;

    void CreateSurface();
    void ReleaseSurface();
    int Lock();
    void Unlock();
    int Present();

    void SetTransform();
    void SetTexture(Shader* shader);
    void ClearTexture();

    void DrawTriangleStrip(const void* vertices, int32_t count, uint32_t vertexFormat);
    void DrawTriangleList(const void* vertices, int32_t count, uint32_t vertexFormat);
    void DrawTriangle(bool textured, bool textureAlpha, bool gouraud, bool modulate, const RasterVertex* vertices,
                      void* pixels, uint32_t pitch, const RasterTexture* texture, const RasterColor* modulation,
                      const RasterColor* fill, bool colorFill);
    uint32_t ClipToScreen(ClipVertex** output, ClipVertex* const* input, float minX, float maxX, float minY,
                          float maxY);

    void BlitTexture(Texture* texture, int x, int y);

    // Sprite rows into the locked render surface.
    void BlitSpan(void* destination, const uint32_t* source, int32_t count, uint8_t alphaFlag);
    // Cursor rows into a surface the caller has locked; dispatched by that surface's own format.
    void BlitSpanPlain(void* destination, const uint32_t* source, int32_t count, uint8_t alphaFlag,
                       const SWSurfaceDesc& destinationDesc);
    void DrawSpanColored(void* destination, const uint32_t* source, int32_t count, uint8_t alphaFlag,
                         const RasterColor* fill, bool colorFill);
    void DrawSpanPlain(void* destination, const uint32_t* source, int32_t count, uint8_t alphaFlag,
                       const RasterColor* fill, bool colorFill, TargetFormat format);

    bool HasSurface() const { return mSurface != nullptr; }
    const SWSurfaceDesc& GetSurfaceDesc() const { return mSurfaceDesc; }
    SWSurfaceDesc& SurfaceDesc() { return mSurfaceDesc; }
    uint8_t* GetPixels() const { return mPixels; }
    const uint32_t* GetTexels() const { return mTexels; }
    Texture* GetTexture() const { return mTexture; }
    const std::array<float, 16>& GetTransform() const { return mTransform; }
    bool IsTranslationOnly() const { return mTranslationOnly; }

    // 640 / logical width and 480 / logical height, written by Graphics.
    float mLogicalScaleX = 0.0f;
    float mLogicalScaleY = 0.0f;

private:
    struct Surface;

    std::unique_ptr<Surface> mSurface;
    SWSurfaceDesc mSurfaceDesc;
    uint8_t* mPixels = nullptr;
    std::array<float, 16> mTransform;
    const uint32_t* mTexels = nullptr;
    Texture* mTexture = nullptr;
    std::array<ClipVertex, kClipPoolSize> mClipPool{};
    uint32_t mClipPoolCount = 0;
    bool mTranslationOnly = true;
};

} // namespace Compatibility
