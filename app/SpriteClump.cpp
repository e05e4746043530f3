#include "app/App.h"
#include "app/ClumpFile.h"
#include "app/Console.h"
#include "app/FXImage.h"
#include "app/FileHelpers.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Sprite.h"
#include "app/SpriteBundle.h"
#include "app/Texture.h"

#include <algorithm>

namespace {

bool IsQuitting()
{
    return theApp != nullptr && theApp->quit;
}

} // namespace

void Sprite::LoadClumpFile(const String& name)
{
    Image whole(name.CStr());
    ClumpFile clump;
    clump.Load(name.Concat(".clump"));
    mShared = false;
    mTexture = nullptr;
    if (clump.hasSize) {
        mWidth = clump.width;
        mHeight = clump.height;
    }
    for (ClumpFile::Part part : clump.parts) {
        FXImage piece;
        if (!part.Cut(whole, piece)) {
            continue;
        }
        auto tile = std::make_unique<SpriteTile>();
        tile->texture = new Texture(piece);
        tile->bounds = Rect(float(part.x), float(part.y), float(part.w), float(part.h));
        Rect uv = tile->texture->mUV;
        if (!tile->texture->mInAtlas) {
            theConsole->Printf(
                "WARNING [%s]: Sprite clump loaded, but not splatted.  This will adversely affect "
                "image quality.",
                name.CStr());
            // The texture holds the part with its bled border: all of it is
            // mapped, and the inset below takes the border off again.
            uv = Rect(0, 0, float(piece.mWidth) / float(std::max(tile->texture->mWidth, 1)),
                      float(piece.mHeight) / float(std::max(tile->texture->mHeight, 1)));
        }
        tile->uv = tile->texture->GetTexelRect(uv, true);
        mTiles.push_back(std::move(tile));
    }
    BuildVertices();
    mLoaded = true;
}

void Sprite::LoadFromBundle(SpriteBundle* bundle, const String& name)
{
    if (IsQuitting()) {
        return;
    }
    Release();
    if (theGraphics.mSoftware) {
        Load(bundle->PathOf(name));
        return;
    }
    if (FileExists(bundle->PathOf(name).Concat(".clump"))) {
        LoadBundleClump(bundle, name);
        return;
    }
    int size[2] = {0, 0};
    Texture* texture = bundle->Get(name, size);
    if (texture == nullptr) {
        Load(bundle->PathOf(name));
        theConsole->Printf("WARNING: Bad Bundle Load [%s\\%s]", bundle->mFolder.CStr(), name.CStr());
        return;
    }
    mTexture = texture;
    mShared = true;
    mSourceRect = texture->mUV;
    mWidth = size[0];
    mHeight = size[1];
    ResetShader();
    mShader.mTexture = texture;
    CreateFromImage();
}

void Sprite::LoadBundleClump(SpriteBundle* bundle, const String& name)
{
    ClumpFile clump;
    clump.Load(bundle->PathOf(name).Concat(".clump"));
    mShared = true;
    mTexture = nullptr;
    if (clump.hasSize) {
        mWidth = clump.width;
        mHeight = clump.height;
    }
    for (const ClumpFile::Part& part : clump.parts) {
        // A part the bundle does not hold is left out rather than drawn from nothing.
        Texture* texture = bundle->Get(String::StringFormat("%s__%d", name, part.number));
        if (texture == nullptr) {
            continue;
        }
        auto tile = std::make_unique<SpriteTile>();
        tile->texture = texture;
        tile->bounds = Rect(float(part.x), float(part.y), float(part.w), float(part.h));
        tile->uv = texture->GetTexelRect(texture->mUV, true);
        mTiles.push_back(std::move(tile));
    }
    BuildVertices();
    mLoaded = true;
}

void Sprite::CreateFromTextureRect(Texture* texture, Rect uv)
{
    Release();
    if (texture == nullptr) {
        return;
    }
    mTexture = texture;
    mSourceRect = uv;
    mWidth = int((uv.w - uv.x) * float(texture->mWidth));
    mHeight = int((uv.h - uv.y) * float(texture->mHeight));
    mShader.mTexture = texture;
    mShared = true;
    CreateFromImage();
}
