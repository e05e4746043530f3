#pragma once

#include "app/Matrix.h"
#include "app/Rect.h"
#include "app/Shader.h"
#include "app/String.h"
#include "app/VertexBuffer2D.h"

#include <cstdint>
#include <memory>
#include <vector>

class Image;
class SpriteBundle;
class Texture;

// One tile of a tiled or clumped sprite.
struct SpriteTile
{
    Texture* texture = nullptr; // owned unless the sprite is shared
    Rect bounds;                // x, y, w, h in image pixels from the image's top-left
    Rect uv;                    // left, top, right, bottom in the tile's texture
};

// A run of visible texels of one row, copied straight to the screen by the
// software renderer when a sprite is drawn untransformed.
struct OpaqueRun
{
    uint8_t opaque = 1;
    uint32_t length = 0;
    float x = 0.0f;      // from the left edge of the source area
    float y = 0.0f;      // from its top edge
    uint32_t offset = 0; // bytes from the start of the texture's memory
};

// The framework's drawable picture: an image on one texture (or a grid of
// tiles when too large for one), the quad that shows it, a lazily built
// alpha map for exact hit tests and, with the software renderer, the runs
// of visible texels. Sizes are logical pixels.
class Sprite
{
  public:
    Sprite();
    // Shares a region (pixels) of a texture someone else owns.
    Sprite(Texture* texture, Rect r);
    Sprite(Image* image, Rect r);
    virtual ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    // Called first by every draw, before the loaded test.
    virtual void PrepareDraw() {}

    void Load(const String& name);
    void LoadFastBlit(const String& name);
    void CreateFromImageRect(Image* image, Rect r);
    void SetImage(Image* image);
    void CreateFromImage();
    void EnableFastBlit();
    void Release();
    // 0..1 at sprite pixel (x, y); 0 outside, 1 on a texture without alpha.
    float GetAlphaAt(int x, int y);
    void BuildVertices();
    void BuildOpaqueRuns();

    // Clump files and bundles.
    void LoadClumpFile(const String& name);
    void LoadFromBundle(SpriteBundle* bundle, const String& name);
    void LoadBundleClump(SpriteBundle* bundle, const String& name);
    void CreateFromTextureRect(Texture* texture, Rect uv);

    // Drawing, in the current colour, translation and clip.
    void DrawMatrix(const Matrix& m);
    void Draw(float x, float y);
    void DrawCentered(float x, float y);
    void DrawRotated(float x, float y, float degrees, float scale);
    void DrawScaled(float x, float y, float scale);
    void DrawPartialX(float x, float y, float fraction, int side);
    void DrawPartialY(float x, float y, float fraction, int side);
    void DrawPie(float x, float y, float fraction);
    void BlitOpaqueRuns(int x, int y);

    bool mLoaded = false;
    std::unique_ptr<uint8_t[]> mAlphaMap;
    int mAlphaMapWidth = 0;
    int mAlphaMapHeight = 0;
    Image* mImage = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    bool mShared = false;
    Texture* mTexture = nullptr;
    Rect mSourceRect; // left, top, right, bottom fractions of the texture
    std::vector<std::unique_ptr<SpriteTile>> mTiles;
    VertexBuffer2D mVertexBuffer;
    Shader mShader;
    bool mFastBlit = false;
    std::vector<OpaqueRun> mOpaqueRuns;
    bool mInset = false;
    bool mPointFilter = false;

  private:
    void ResetShader();
    void CreateFromFile(const String& name);
    void CreateShared();
    void CreateFastBlit();
    void CreateDefault();
    void CreateSingleTexture(Image& source);
    void CreateTiles(Image& source);
    void BuildAlphaMap();
    void BuildTileAlphaMap();
    void DrawPieQuarter(int quarter, float fraction, VertexBuffer2D& buffer);
};
