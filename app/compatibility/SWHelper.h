#pragma once

#include "app/Matrix.h"
#include "app/compatibility/RasterTypes.h"
#include "platform/Display.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

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

// The graphics device's drawing state as one draw call reads it.
struct SWDrawState
{
    int screenWidth = 0;
    int screenHeight = 0;
    float scaleX = 1.0f; // screen size / logical size
    float scaleY = 1.0f;
    float clipX = -9999.0f; // logical units
    float clipY = -9999.0f;
    float clipWidth = 19998.0f;
    float clipHeight = 19998.0f;
    std::array<float, 4> material{}; // diffuse red, green, blue, alpha
    std::array<float, 4> color{};    // drawing colour red, green, blue, alpha
    int blendMode = 0;               // 1 additive, 2 normal, 0 not set
    bool colorFill = false;
};

// The software path of the graphics device: one render surface in system memory in the
// display's format, drawn into by triangle rasterisers and span blitters, then copied to
// the frame the device presents.
class SWHelper
{
  public:
    static constexpr uint32_t kFormatColored = 0x142; // x, y, z, colour, u, v
    static constexpr int kClipPoolSize = 64;

    SWHelper();
    virtual ~SWHelper();
    SWHelper(const SWHelper&) = delete;
    SWHelper& operator=(const SWHelper&) = delete;

    // --- render surface ---
    void CreateSurface();
    void CreateSurface(int width, int height, const Platform::PixelFormat& format);
    void ReleaseSurface();
    int Lock();
    void Unlock();
    int Present();

    // --- transform and texture ---
    void SetTransform();
    void SetTransform(const Matrix& world, const Matrix& view, const Matrix& projection, float scaleX,
                      float scaleY);
    void SetTexture(Shader* shader);
    void ClearTexture();

    // --- triangles ---
    void DrawTriangleStrip(const void* vertices, int32_t count, uint32_t vertexFormat);
    void DrawTriangleList(const void* vertices, int32_t count, uint32_t vertexFormat);
    void DrawTriangles(const SWDrawState& state, const void* vertices, int32_t count, uint32_t vertexFormat,
                       bool strip);
    void DrawTriangle(bool textured, bool textureAlpha, bool gouraud, bool modulate,
                      const RasterVertex* vertices, void* pixels, uint32_t pitch,
                      const RasterTexture* texture, const RasterColor* modulation, const RasterColor* fill,
                      bool colorFill, bool additive);
    uint32_t ClipToScreen(ClipVertex** output, ClipVertex* const* input, float minX, float maxX, float minY,
                          float maxY);

    // --- whole textures and spans ---
    void BlitTexture(Texture* texture, int x, int y);
    void BlitTexture(const SWDrawState& state, float translationX, float translationY, Texture* texture,
                     int x, int y);
    // Sprite rows into the locked render surface.
    void BlitSpan(void* destination, const uint32_t* source, int32_t count, uint8_t alphaFlag);
    // Cursor rows into a surface the caller has locked, dispatched by that surface's own
    // format rather than by the render surface's, which may change under another thread.
    static void BlitSpanPlain(void* destination, const uint32_t* source, int32_t count, uint8_t alphaFlag,
                              const Platform::PixelFormat& destinationFormat);
    void DrawSpanColored(const SWDrawState& state, void* destination, const uint32_t* source, int32_t count,
                         uint8_t alphaFlag, const RasterColor* fill, bool colorFill);
    static void DrawSpanPlain(int blendMode, TargetFormat format, void* destination, const uint32_t* source,
                              int32_t count, uint8_t alphaFlag, const RasterColor* fill, bool colorFill);

    // --- state read by the graphics device and sprite code ---
    bool HasSurface() const { return mSurface != nullptr; }
    Platform::Surface* GetSurface() const { return mSurface.get(); }
    const Platform::SurfaceDesc& GetSurfaceDesc() const { return mSurfaceDesc; }
    void SetSurfaceDesc(const Platform::SurfaceDesc& desc) { mSurfaceDesc = desc; }
    TargetFormat GetTargetFormat() const;
    uint8_t* GetPixels() const { return mPixels; }
    const uint32_t* GetTexels() const { return mTexels; }
    Texture* GetTexture() const { return mTexture; }
    const Matrix& GetTransform() const { return mTransform; }
    bool IsTranslationOnly() const { return mTranslationOnly; }

    // 640 / logical width and 480 / logical height, written by the graphics device.
    float mLogicalScaleX = 0.0f;
    float mLogicalScaleY = 0.0f;

  private:
    struct Submission;

    static SWDrawState ReadGraphicsState();
    // Red, green, blue, alpha floats as the alpha, red, green, blue record of 0..255.
    static RasterColor ColorRecord(const std::array<float, 4>& rgba);
    ClipVertex* TakePoolVertex();
    uint32_t ClipPass(ClipVertex** output, ClipVertex* const* input, int axis, bool keepAbove, float bound);
    static RasterVertex ToRaster(const Submission& submission, const ClipVertex& vertex);
    bool CopyStrip(const Submission& submission);
    void DrawPolygon(const Submission& submission, ClipVertex* const* triangle);
    bool MakeRasterTexture(RasterTexture& out, double& width, double& height) const;

    std::unique_ptr<Platform::Surface> mSurface;
    Platform::SurfaceDesc mSurfaceDesc;
    uint8_t* mPixels = nullptr;
    Matrix mTransform;
    const uint32_t* mTexels = nullptr;
    Texture* mTexture = nullptr;
    std::array<ClipVertex, kClipPoolSize> mClipPool{};
    uint32_t mClipPoolCount = 0;
    bool mTranslationOnly = true;
    std::vector<ClipVertex> mVertexBlock;
    std::vector<uint8_t> mVertexValid;
};

} // namespace Compatibility
