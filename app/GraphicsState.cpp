#include "app/Graphics.h"

#include "app/Shader.h"
#include "app/Texture.h"

#include <cmath>

namespace {
constexpr int kCacheUnset = 0;

// The low 8 bits of trunc(c x 255): out-of-range channels wrap, as they always have.
uint32_t PackChannel(float c)
{
    return static_cast<uint32_t>(static_cast<int64_t>(c * 255.0f)) & 0xFF;
}

Color Multiply(const Color& a, const Color& b)
{
    return Color(a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a);
}

template <typename T> T* TakeLast(List& list)
{
    T* entry = static_cast<T*>(list.Get(list.Count() - 1));
    list.RemoveAt(list.Count() - 1);
    return entry;
}

Platform::BlendMode DeviceBlend(int alphaBlendCache, int blendCache)
{
    if (alphaBlendCache != 1) {
        return Platform::BlendMode::None;
    }
    return blendCache == 1 ? Platform::BlendMode::Additive : Platform::BlendMode::Normal;
}
} // namespace

void Graphics::SetColor(const Color& color)
{
    mRequestedColor = color;
    mColor = color;
    if (mMultiplierOn) {
        mColor = Multiply(mColor, mMultiplier);
    }
}

void Graphics::SetColorRGBA(float r, float g, float b, float a)
{
    SetColor(Color(r, g, b, a));
}

void Graphics::SetColorWhite()
{
    SetColor(Color(1, 1, 1, 1));
}

void Graphics::SetWhiteAlpha(float a)
{
    SetColor(Color(1, 1, 1, a));
}

void Graphics::SetColorMultiplier(float r, float g, float b, float a)
{
    mMultiplier = Color(r, g, b, a);
    mMultiplierOn = true;
    SetColor(mRequestedColor);
}

void Graphics::ClearColorMultiplier()
{
    mMultiplierOn = false;
    SetColor(mRequestedColor);
}

void Graphics::SetColorPreset(int index)
{
    static const Color kPresets[] = {
        {1, 0, 0, 1}, {1, 1, 0, 1},    {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 0, 1, 1},
        {0, 1, 1, 1}, {1, 0.5f, 0, 1}, {1, 1, 1, 1}, {0, 0, 0, 1},
    };
    if (index >= 0 && index < static_cast<int>(std::size(kPresets))) {
        SetColor(kPresets[index]);
    }
}

uint32_t Graphics::PackColor(const Color& color)
{
    return (PackChannel(color.a) << 24) | (PackChannel(color.r) << 16) | (PackChannel(color.g) << 8) |
           PackChannel(color.b);
}

void Graphics::PushColor()
{
    mColorStack.Add(new Color(mColor));
}

void Graphics::PopColor()
{
    if (mColorStack.IsEmpty()) {
        return;
    }
    Color* entry = TakeLast<Color>(mColorStack);
    mColor = *entry;
    delete entry;
}

void Graphics::PushTranslation()
{
    mTranslationStack.Add(new Point(mTranslation));
}

void Graphics::PopTranslation()
{
    if (mTranslationStack.IsEmpty()) {
        return;
    }
    Point* entry = TakeLast<Point>(mTranslationStack);
    mTranslation = *entry;
    delete entry;
}

void Graphics::ResetClip()
{
    mClip = Rect(-9999, -9999, 19998, 19998);
}

void Graphics::SetClipRect(float x, float y, float w, float h)
{
    mClip = Rect(mTranslation.x + x, mTranslation.y + y, w, h);
}

void Graphics::SetClipToRect(Rect rect)
{
    SetClipRect(std::trunc(rect.x), std::trunc(rect.y), std::trunc(rect.w), std::trunc(rect.h));
}

void Graphics::PushClip()
{
    mClipStack.Add(new Rect(mClip));
}

void Graphics::PopClip()
{
    if (mClipStack.IsEmpty()) {
        return;
    }
    Rect* entry = TakeLast<Rect>(mClipStack);
    SetClipRect(std::trunc(entry->x - mTranslation.x), std::trunc(entry->y - mTranslation.y),
                std::trunc(entry->w), std::trunc(entry->h));
    delete entry;
}

void Graphics::SetFiltering(bool linear)
{
    const int wanted = linear ? 1 : 2;
    if (mFilterCache == wanted) {
        return;
    }
    mFilterCache = wanted;
    if (mDevice) {
        mDevice->SetLinearFiltering(linear);
    }
}

void Graphics::PushFiltering()
{
    mFilterStack.Add(new int(mFilterCache));
}

void Graphics::PopFiltering()
{
    if (mFilterStack.IsEmpty()) {
        return;
    }
    int* entry = TakeLast<int>(mFilterStack);
    SetFiltering(*entry == 1);
    delete entry;
}

void Graphics::SetAdditive(bool additive)
{
    const int wanted = additive ? 1 : 2;
    if (mBlendMode == wanted) {
        return;
    }
    mBlendMode = wanted;
    if (mDevice) {
        mDevice->SetBlendMode(DeviceBlend(mAlphaBlendCache, mBlendMode));
    }
}

void Graphics::SetAlphaBlending(bool on)
{
    const int wanted = on ? 1 : 2;
    if (mAlphaBlendCache == wanted) {
        return;
    }
    mAlphaBlendCache = wanted;
    if (mDevice) {
        mDevice->SetBlendMode(DeviceBlend(mAlphaBlendCache, mBlendMode));
    }
}

// The renderer always clamps texture coordinates; the mode is kept for the
// callers that read it back.
void Graphics::SetTextureAddressMode(int mode)
{
    if (mAddressCache != mode) {
        mAddressCache = mode;
    }
}

void Graphics::SetCullNone()
{
    // The renderer never culls.
    mCullCache = 1;
}

void Graphics::SetDepthTest(bool on)
{
    // 2D drawing has no depth buffer: the state is only remembered.
    mDepthCache = on ? 1 : 2;
}

void Graphics::SetSpriteMode()
{
    if (mSpriteModeCache == 1) {
        return;
    }
    mSpriteModeCache = 1;
    mLighting = true;
    SetCullNone();
    SetDepthTest(false);
    mAlphaBlendCache = kCacheUnset;
    RebuildViewProjection();
}

void Graphics::SetColorFill(bool on)
{
    mColorFill = on;
    if (!mDevice || on) {
        return;
    }
    // Leaving colour fill makes the next shader and blend request reach the device again,
    // also for the texture still bound: its blending is set afresh.
    mAlphaBlendCache = kCacheUnset;
    mAddressCache = kCacheUnset;
    mBlendMode = kCacheUnset;
    mBoundTexture = nullptr;
}

void Graphics::ApplyShader(const Shader& shader)
{
    Texture* texture = shader.mTexture;
    if (texture) {
        if (texture != mBoundTexture) {
            SetAlphaBlending(texture->mHasAlpha || shader.mTranslucent || mColor.a != 1.0f);
            SetTextureAddressMode(texture->mAddressMode);
            mBoundTexture = texture;
        }
        if (texture->mSurface != mBoundSurface) {
            if (mDevice) {
                ++mTextureSwitches;
            }
            if (mSoftware) {
                mSWHelper.SetTexture(const_cast<Shader*>(&shader));
            }
            mBoundSurface = texture->mSurface;
        }
    } else {
        SetAlphaBlending(shader.mTranslucent || mColor.a != 1.0f);
        if (mBoundSurface) {
            ++mTextureSwitches;
            if (mSoftware) {
                mSWHelper.ClearTexture();
            }
        }
        mBoundTexture = nullptr;
        mBoundSurface = nullptr;
    }
    mMaterial.power = shader.mPower;
    mMaterial.diffuse = Multiply(mColor, shader.mDiffuse);
    mMaterial.ambient = Multiply(mColor, shader.mAmbient);

    const Color* colors[] = {&shader.mDiffuse, &shader.mAmbient, &shader.mSpecular, &shader.mEmissive};
    for (int i = 0; i < 4; ++i) {
        mLastShader.colors[i * 4 + 0] = colors[i]->r;
        mLastShader.colors[i * 4 + 1] = colors[i]->g;
        mLastShader.colors[i * 4 + 2] = colors[i]->b;
        mLastShader.colors[i * 4 + 3] = colors[i]->a;
    }
    mLastShader.power = shader.mPower;
    mLastShader.translucent = shader.mTranslucent;
    mLastShader.texture = texture;
}

void Graphics::SetZoom(float x, float y)
{
    mZoomX = x;
    mZoomY = y;
    mZoomOn = !(mZoomX == 1.0f && mZoomY == 1.0f);
    ResetClip();
    RebuildViewProjection();
}

void Graphics::SetWorldTransform(const Matrix& matrix)
{
    mWorld = matrix;
    mWorld.Translate(mTranslation.x, mTranslation.y, 0.0f);
    if (mSoftware) {
        mSWHelper.SetTransform();
    }
}

void Graphics::SetViewTransform(const Matrix& matrix)
{
    mView = matrix;
    if (mSoftware) {
        mSWHelper.SetTransform();
    }
}

void Graphics::SetProjectionTransform(const Matrix& matrix)
{
    mProjection = matrix;
    if (mSoftware) {
        mSWHelper.SetTransform();
    }
}

void Graphics::RebuildViewProjection()
{
    Matrix projection;
    MatrixOrthoOffCenter(projection, 0.0f, mViewport.w, 0.0f, mViewport.h, 0.0f, 100.0f);
    // y grows downwards on the screen.
    for (int row = 0; row < 4; ++row) {
        projection.m[row * 4 + 1] = -projection.m[row * 4 + 1];
    }
    SetProjectionTransform(projection);

    Matrix view;
    if (mZoomOn) {
        const float halfWidth = static_cast<float>(mLogicalWidth / 2);
        const float halfHeight = static_cast<float>(mLogicalHeight / 2);
        view.Translate(-halfWidth, -halfHeight, 0.0f);
        if (mZoomX != 1.0f || mZoomY != 1.0f) {
            view.Scale(mZoomX, mZoomY, 1.0f);
        }
        view.Translate(halfWidth, halfHeight, 0.0f);
    }
    view.Scale(static_cast<float>(mWidth) / static_cast<float>(mLogicalWidth),
               static_cast<float>(mHeight) / static_cast<float>(mLogicalHeight), 1.0f);
    view.Translate(-mViewport.x, -mViewport.y, 0.0f);
    SetViewTransform(view);
}

bool Graphics::NeedsFiltering(const Matrix* matrix)
{
    if (mLogicalWidth != mWidth || mLogicalHeight != mHeight) {
        return true;
    }
    if (matrix && (mWorld.HasFractionalTranslation() || mView.HasFractionalTranslation() ||
                   matrix->HasFractionalTranslation() || matrix->HasRotationOrScale())) {
        return true;
    }
    return mZoomOn;
}

void Graphics::SetAtlasLoading(bool loading)
{
    if (loading) {
        if (mAtlasDepth == 0) {
            mSavedUseAtlas = mUseAtlas;
            mUseAtlas = true;
            mAtlasDepth = 1;
        }
    } else if (mAtlasDepth > 0) {
        if (--mAtlasDepth == 0) {
            mUseAtlas = mSavedUseAtlas;
        }
    }
}
