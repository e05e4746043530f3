#include "app/Sprite.h"

#include "app/App.h"
#include "app/AppLock.h"
#include "app/FileHelpers.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Texture.h"
#include "app/TextureMosaic.h"

#include <algorithm>
#include <cstring>

namespace {

// Texture address modes, as the device numbers them.
constexpr int kAddressWrap = 1;
constexpr int kAddressClamp = 3;
constexpr int kMaxUntiledSide = 512;
// Texels at or below this alpha are left out of the opaque runs.
constexpr uint8_t kRunAlphaThreshold = 5;

bool IsQuitting()
{
    return theApp != nullptr && theApp->quit;
}

bool IsSoftware()
{
    return theGraphics.mSoftware;
}

// "OSIZ" then the width and height the image had before the cache scaled it.
bool HasOriginalSizeTag(const Image& image)
{
    return image.mExtra != nullptr && image.mExtraSize >= 12 && std::memcmp(image.mExtra, "OSIZ", 4) == 0;
}

int32_t ExtraInt(const Image& image, int at)
{
    int32_t value = 0;
    std::memcpy(&value, image.mExtra + at, 4);
    return value;
}

// A software-mode copy that came out empty still gets a texture.
void EnsureOnePixel(Image& image)
{
    if (image.mPixels == nullptr || image.mWidth < 1 || image.mHeight < 1) {
        image.Create(1, 1, true);
    }
}

void AddRuns(const uint8_t* row, int x0, int columns, int rowIndex, uint32_t rowOffset,
             std::vector<OpaqueRun>& runs)
{
    OpaqueRun current;
    bool open = false;
    for (int column = 0; column < columns; ++column) {
        const bool opaque = row[4 * (x0 + column) + 3] > kRunAlphaThreshold;
        if (!open || opaque != (current.opaque != 0)) {
            if (open && current.opaque != 0) {
                runs.push_back(current);
            }
            current = OpaqueRun{uint8_t(opaque ? 1 : 0), 0, float(column), float(rowIndex),
                                rowOffset + uint32_t(4 * (x0 + column))};
            open = true;
        }
        ++current.length;
    }
    if (open && current.opaque != 0 && current.length > 0) {
        runs.push_back(current);
    }
}

} // namespace

Sprite::Sprite()
{
    ResetShader();
}

Sprite::Sprite(Texture* texture, Rect r)
{
    ResetShader();
    if (texture == nullptr || texture->mWidth <= 0 || texture->mHeight <= 0) {
        return;
    }
    const float texW = float(texture->mWidth);
    const float texH = float(texture->mHeight);
    mTexture = texture;
    mLoaded = true;
    mShared = true;
    mSourceRect = texture->MapToAtlas(Rect(r.x / texW, r.y / texH, (r.x + r.w) / texW, (r.y + r.h) / texH));
    mWidth = int(r.w);
    mHeight = int(r.h);
    mShader.mTexture = texture;
    BuildVertices();
}

Sprite::Sprite(Image* image, Rect r)
{
    ResetShader();
    CreateFromImageRect(image, r);
}

Sprite::~Sprite()
{
    Release();
}

void Sprite::ResetShader()
{
    mShader.mDiffuse = Color(1, 1, 1, 1);
    mShader.mAmbient = Color(1, 1, 1, 1);
    mShader.mTranslucent = 0;
}

void Sprite::Load(const String& name)
{
    Release();
    if (IsQuitting()) {
        return;
    }
    if (mFastBlit && IsSoftware()) {
        LoadFastBlit(name);
        return;
    }
    if (!IsSoftware() && FileExists(name.Concat(".clump"))) {
        LoadClumpFile(name);
        return;
    }
    CreateFromFile(name);
}

// The sprite makes its own texture here, whatever it was before: a sprite
// that once showed a shared texture must not build on that one.
void Sprite::CreateFromFile(const String& name)
{
    mShared = false;
    mTexture = nullptr;
    mImage = new Image(name.CStr());
    mWidth = mImage->mWidth;
    mHeight = mImage->mHeight;
    CreateFromImage();
    delete mImage;
    mImage = nullptr;
}

void Sprite::LoadFastBlit(const String& name)
{
    if (!IsSoftware()) {
        Load(name);
        return;
    }
    Release();
    mFastBlit = true;
    CreateFromFile(name);
}

void Sprite::EnableFastBlit()
{
    if (IsSoftware()) {
        mFastBlit = true;
    }
}

void Sprite::CreateFromImage()
{
    mLoaded = false;
    if (mShared) {
        CreateShared();
    } else if (mFastBlit && IsSoftware()) {
        CreateFastBlit();
    } else {
        CreateDefault();
    }
    mLoaded = true;
}

void Sprite::CreateShared()
{
    if (mTexture != nullptr && mTexture->mInAtlas) {
        mTexture->mHasAlpha = 1;
        mSourceRect = mTexture->GetTexelRect(mSourceRect, mInset);
        if (mInset) {
            mWidth -= 2;
            mHeight -= 2;
        }
    }
    BuildVertices();
}

void Sprite::CreateFastBlit()
{
    delete mTexture;
    mTexture = nullptr;
    if (mImage == nullptr) {
        return;
    }
    Image copy;
    mImage->Resample(int(float(mImage->mWidth) * theGraphics.mScale640),
                     int(float(mImage->mHeight) * theGraphics.mScale480), &copy);
    EnsureOnePixel(copy);
    mTexture = new Texture();
    mTexture->Create(copy.mWidth, copy.mHeight, true);
    mTexture->Reload(copy, true);
    mShader.mTexture = mTexture;
    mWidth = copy.mWidth;
    mHeight = copy.mHeight;
    if (HasOriginalSizeTag(copy)) {
        mWidth = ExtraInt(copy, 4);
        mHeight = ExtraInt(copy, 8);
    }
}

void Sprite::CreateDefault()
{
    if (mImage == nullptr) {
        return;
    }
    Image resampled;
    Image* source = mImage;
    if (IsSoftware()) {
        mImage->Resample(int(float(mImage->mWidth) * theGraphics.mScale640 + 0.5f),
                         int(float(mImage->mHeight) * theGraphics.mScale480 + 0.5f), &resampled);
        EnsureOnePixel(resampled);
        source = &resampled;
    }
    const bool atlas = theGraphics.mActiveAtlas != nullptr;
    if (!atlas) {
        mPointFilter = false;
    }
    const bool tiled = !IsSoftware() && !atlas &&
                       (source->mWidth > kMaxUntiledSide || source->mHeight > kMaxUntiledSide ||
                        source->mWidth > int(theGraphics.mMaxTextureWidth) ||
                        source->mHeight > int(theGraphics.mMaxTextureHeight));
    if (tiled) {
        CreateTiles(*source);
    } else {
        CreateSingleTexture(*source);
    }
    if (mInset && mTexture != nullptr) {
        mTexture->mAddressMode = kAddressWrap;
        mWidth -= 2;
        mHeight -= 2;
    }
    BuildVertices();
}

void Sprite::CreateSingleTexture(Image& source)
{
    mTexture = new Texture(source);
    mTexture->mAddressMode = kAddressClamp;
    mShader.mTexture = mTexture;
    if (mTexture->mInAtlas) {
        mTexture->mHasAlpha = 1;
        mSourceRect = mTexture->GetTexelRect(mTexture->mUV, mInset);
        return;
    }
    const float texW = float(std::max(mTexture->mWidth, 1));
    const float texH = float(std::max(mTexture->mHeight, 1));
    mSourceRect =
        mTexture->GetTexelRect(Rect(0, 0, float(source.mWidth) / texW, float(source.mHeight) / texH), mInset);
}

void Sprite::CreateTiles(Image& source)
{
    TextureMosaic mosaic;
    mosaic.Build(source.mWidth, source.mHeight);
    for (int i = 0; i < mosaic.mTiles.Count(); ++i) {
        const Rect& area = *static_cast<Rect*>(mosaic.mTiles.Get(i));
        auto tile = std::make_unique<SpriteTile>();
        tile->texture = new Texture(source, area);
        tile->texture->mAddressMode = kAddressClamp;
        tile->bounds = area;
        tile->uv = Rect(0, 0, 1, 1);
        mTiles.push_back(std::move(tile));
    }
    for (auto& tile : mTiles) {
        Rect& b = tile->bounds;
        if (b.x + b.w > float(mWidth)) {
            const float w = float(mWidth) - b.x;
            tile->uv.w = w / b.w;
            b.w = w;
        }
        if (b.y + b.h > float(mHeight)) {
            const float h = float(mHeight) - b.y;
            tile->uv.h = h / b.h;
            b.h = h;
        }
        tile->uv = tile->texture->GetTexelRect(tile->uv, mInset);
    }
}

void Sprite::BuildVertices()
{
    const size_t quads = mTexture != nullptr ? 1 : mTiles.size();
    mVertexBuffer.Create(uint32_t(4 * quads));
    auto* v = static_cast<TexturedVertex*>(mVertexBuffer.Lock());
    const float halfW = float(mWidth) / 2.0f;
    const float halfH = float(mHeight) / 2.0f;
    auto quad = [&v](float left, float top, float right, float bottom, const Rect& uv) {
        *v++ = TexturedVertex{left, top, 0.0f, uv.x, uv.y};
        *v++ = TexturedVertex{right, top, 0.0f, uv.w, uv.y};
        *v++ = TexturedVertex{left, bottom, 0.0f, uv.x, uv.h};
        *v++ = TexturedVertex{right, bottom, 0.0f, uv.w, uv.h};
    };
    if (v != nullptr && mTexture != nullptr) {
        quad(-halfW, -halfH, halfW, halfH, mSourceRect);
    } else if (v != nullptr) {
        for (const auto& tile : mTiles) {
            const Rect& b = tile->bounds;
            quad(b.x - halfW, b.y - halfH, b.x + b.w - halfW, b.y + b.h - halfH, tile->uv);
        }
    }
    mVertexBuffer.Unlock();
    if (IsSoftware()) {
        BuildOpaqueRuns();
    }
}

void Sprite::BuildOpaqueRuns()
{
    mOpaqueRuns.clear();
    if (mTexture == nullptr || mTexture->mSurface == nullptr || mTexture->mDesc.format.bitsPerPixel != 32) {
        return;
    }
    const int texW = mTexture->mDesc.width;
    const int texH = mTexture->mDesc.height;
    const int pitch = mTexture->mDesc.pitch;
    // Fractions beyond 0..1 must not walk off the surface.
    const int x0 = std::clamp(int(mSourceRect.x * float(texW)), 0, texW);
    const int x1 = std::clamp(int(mSourceRect.w * float(texW)), x0, texW);
    const int y0 = std::clamp(int(mSourceRect.y * float(texH)), 0, texH);
    const int y1 = std::clamp(int(mSourceRect.h * float(texH)), y0, texH);
    // An atlas page may be written by the loader thread meanwhile.
    AppLock lock(mTexture->mInAtlas != 0);
    const uint8_t* memory = mTexture->mSurface->Lock();
    if (memory == nullptr) {
        return;
    }
    for (int r = 0; r < y1 - y0; ++r) {
        const uint32_t rowOffset = uint32_t(pitch) * uint32_t(y0 + r);
        AddRuns(memory + rowOffset, x0, x1 - x0, r, rowOffset, mOpaqueRuns);
    }
    mTexture->mSurface->Unlock();
}

float Sprite::GetAlphaAt(int x, int y)
{
    if (!mLoaded || x < 0 || y < 0 || x >= mWidth || y >= mHeight) {
        return 0.0f;
    }
    if (IsSoftware()) {
        x = int(float(x) * theGraphics.mScale640);
        y = int(float(y) * theGraphics.mScale480);
    }
    if (mAlphaMap == nullptr) {
        if (mTexture != nullptr && !mTexture->mHasAlpha) {
            return 1.0f;
        }
        BuildAlphaMap();
    }
    if (mAlphaMap != nullptr && x < mAlphaMapWidth && y < mAlphaMapHeight) {
        return float(mAlphaMap[size_t(y) * size_t(mAlphaMapWidth) + size_t(x)]) / 255.0f;
    }
    return 0.0f;
}

void Sprite::BuildAlphaMap()
{
    if (mTexture == nullptr) {
        BuildTileAlphaMap();
        return;
    }
    mAlphaMap.reset(mTexture->ReadAlpha(mSourceRect, mAlphaMapWidth, mAlphaMapHeight));
}

// The map starts at the sprite's (0, 0) whatever the tiles cover, so every
// tile lands at its own position and each copy is clipped to the map.
void Sprite::BuildTileAlphaMap()
{
    struct TileMap
    {
        std::unique_ptr<uint8_t[]> alpha;
        int x, y, width, height;
    };
    std::vector<TileMap> maps;
    int right = 0;
    int bottom = 0;
    for (const auto& tile : mTiles) {
        TileMap map{nullptr, int(tile->bounds.x), int(tile->bounds.y), 0, 0};
        if (tile->texture != nullptr) {
            map.alpha.reset(tile->texture->ReadAlpha(tile->uv, map.width, map.height));
        }
        right = std::max(right, map.x + map.width);
        bottom = std::max(bottom, map.y + map.height);
        maps.push_back(std::move(map));
    }
    mAlphaMapWidth = right;
    mAlphaMapHeight = bottom;
    mAlphaMap.reset(new uint8_t[size_t(right) * size_t(bottom) + 1]());
    for (const TileMap& map : maps) {
        const int left = std::max(map.x, 0);
        const int end = std::min(map.x + map.width, right);
        for (int j = std::max(0, -map.y); map.alpha != nullptr && j < map.height && map.y + j < bottom; ++j) {
            if (end > left) {
                std::memcpy(&mAlphaMap[size_t(map.y + j) * size_t(right) + size_t(left)],
                            &map.alpha[size_t(j) * size_t(map.width) + size_t(left - map.x)],
                            size_t(end - left));
            }
        }
    }
}

void Sprite::CreateFromImageRect(Image* image, Rect r)
{
    // An area less than a pixel wide or high is as empty as one of size 0.
    if (!(r.w >= 1.0f) || !(r.h >= 1.0f)) {
        Release();
        return;
    }
    if (IsQuitting()) {
        return;
    }
    if (image != nullptr && !IsSoftware() && mTexture != nullptr && float(mWidth) == r.w &&
        float(mHeight) == r.h && !mTexture->mInAtlas) {
        mTexture->Upload(*image, r, false);
        return;
    }
    Release();
    if (image == nullptr) {
        return;
    }
    mWidth = int(r.w);
    mHeight = int(r.h);
    ResetShader();
    mShared = false;
    mImage = new Image();
    mImage->CopyRect(*image, int(r.x), int(r.y), int(r.w), int(r.h));
    CreateFromImage();
    delete mImage;
    mImage = nullptr;
}

void Sprite::SetImage(Image* image)
{
    if (IsQuitting()) {
        return;
    }
    if (image != nullptr && !IsSoftware() && mTexture != nullptr && mWidth == image->mWidth &&
        mHeight == image->mHeight && !mTexture->mInAtlas) {
        mTexture->Reload(*image, false);
        return;
    }
    Release();
    if (image != nullptr) {
        CreateFromImageRect(image, Rect(0, 0, float(image->mWidth), float(image->mHeight)));
    }
}

void Sprite::Release()
{
    mShader.mTexture = nullptr;
    if (!mShared) {
        for (auto& tile : mTiles) {
            delete tile->texture;
        }
        delete mTexture;
        mTexture = nullptr;
        delete mImage;
        mImage = nullptr;
    }
    mTiles.clear();
    // A shared texture is not ours to keep pointing at once released.
    mTexture = nullptr;
    mAlphaMap.reset();
    mAlphaMapWidth = 0;
    mAlphaMapHeight = 0;
    mLoaded = false;
    mOpaqueRuns.clear();
}
