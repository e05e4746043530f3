#include "app/SpriteStrip.h"

#include "app/App.h"
#include "app/Console.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/SpriteBundle.h"
#include "app/Texture.h"

namespace {

bool IsQuitting()
{
    return theApp != nullptr && theApp->quit;
}

} // namespace

SpriteStrip::~SpriteStrip()
{
    Free();
}

void SpriteStrip::Free()
{
    mFrames.reset();
    mFrameCount = 0;
}

Sprite* SpriteStrip::GetFrame(int i)
{
    PrepareFrame();
    if (i < 0 || i >= mFrameCount) {
        return nullptr;
    }
    return &mFrames[size_t(i)];
}

void SpriteStrip::Load(const String& name, int count)
{
    if (IsQuitting()) {
        return;
    }
    Image image(name.CStr());
    CreateFromImage(&image, count);
}

void SpriteStrip::Load(const String& name, const String& alphaName, int count)
{
    if (IsQuitting()) {
        return;
    }
    Image image;
    image.Load(name.CStr(), alphaName.CStr());
    CreateFromImage(&image, count);
}

// Frame i starts at the truncated running sum of the float frame width, so
// a 100-pixel strip of three frames starts them at 0, 33 and 66.
void SpriteStrip::CreateFromImage(Image* image, int count)
{
    if (IsQuitting()) {
        return;
    }
    Free();
    if (image == nullptr || count < 1) {
        return;
    }
    mFrames = std::make_unique<Sprite[]>(size_t(count));
    const float frameWidth = float(image->mWidth) / float(count);
    float x = 0.0f;
    for (int i = 0; i < count; ++i) {
        mFrames[size_t(i)].mInset = mInset;
        mFrames[size_t(i)].CreateFromImageRect(image, Rect(x, 0, frameWidth, float(image->mHeight)));
        x += frameWidth;
    }
    mFrameCount = count;
}

void SpriteStrip::LoadFromBundle(SpriteBundle* bundle, const String& name, int count)
{
    if (IsQuitting()) {
        return;
    }
    Free();
    if (theGraphics.mSoftware) {
        Load(bundle->PathOf(name), count);
        return;
    }
    if (count < 1) {
        return;
    }
    if (bundle->Get(name.Concat("__0")) != nullptr) {
        // The frames were packed one by one, as the bundle's strip list says.
        mFrames = std::make_unique<Sprite[]>(size_t(count));
        mFrameCount = count;
        for (int i = 0; i < count; ++i) {
            mFrames[size_t(i)].LoadFromBundle(bundle, String::StringFormat("%s__%d", name, i));
        }
        return;
    }
    if (Texture* texture = bundle->Get(name)) {
        mFrames = std::make_unique<Sprite[]>(size_t(count));
        mFrameCount = count;
        const Rect atlas = texture->mUV;
        const float step = (atlas.w - atlas.x) / float(count);
        float u = atlas.x;
        for (int i = 0; i < count; ++i) {
            mFrames[size_t(i)].mInset = mInset;
            mFrames[size_t(i)].CreateFromTextureRect(texture, Rect(u, atlas.y, u + step, atlas.h));
            u += step;
        }
        theConsole->Printf("WARNING: Strip in bundle without EXTENDEDINFO [%s\\%s]", bundle->mFolder.CStr(),
                           name.CStr());
        return;
    }
    Load(bundle->PathOf(name), count);
    theConsole->Printf("WARNING: Bad Bundle Load [%s\\%s]", bundle->mFolder.CStr(), name.CStr());
}
