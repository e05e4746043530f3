#include "app/Graphics.h"

#include "app/App.h"
#include "app/AppLock.h"
#include "app/Console.h"
#include "app/Registry.h"
#include "app/Texture.h"
#include "app/TextureSplatter.h"

#include <new>

namespace {
// Managed texture, system-memory texture, plain system-memory surface: no
// form after the third is worth trying.
constexpr int kTextureAttempts = 3;

bool AppGoneOrQuitting()
{
    return !theApp || theApp->quit;
}

void RecordSafeModeVerdicts()
{
    Registry results;
    results.Load(GetDataFilePath("HardwareTestResults\\Hardware.registry"));
    results.SetBool("HWTEST::SafeModeRequired", true);
    results.SetBool("HWTEST::SafeModeRecommended", true);
    results.Save();
}
} // namespace

Platform::Surface* Graphics::CreateTexture(int width, int height, Platform::SurfaceDesc* out)
{
    int32_t result = DXResult::OK;
    for (int attempt = 0; attempt < kTextureAttempts; ++attempt) {
        Platform::Surface* surface = AllocateTexture(width, height, result);
        if (surface) {
            if (out) {
                *out = surface->GetDesc();
            }
            return surface;
        }
        if (AppGoneOrQuitting()) {
            break;
        }
        if (attempt > 0 && !mSoftware) {
            // A card that fails twice restarts the program on the software renderer.
            SetPendingMode(true, mWidth, mHeight);
            theApp->Restart();
        }
        if (result == DXResult::OutOfMemory && !mSafeModeRecommended) {
            RecordSafeModeVerdicts();
            mSafeModeRecommended = true;
            mSafeModeRequired = true;
        }
    }
    theConsole->Printf("CreateTexture Error: %s", DXErrorName(result).CStr());
    return nullptr;
}

Platform::Surface* Graphics::AllocateTexture(int width, int height, int32_t& result)
{
    if (width <= 0 || height <= 0) {
        result = DXResult::InvalidParams;
        return nullptr;
    }
    Platform::Surface* surface = NewSurface(width, height, Platform::PixelFormat::ARGB8888());
    if (!surface) {
        result = DXResult::OutOfMemory;
        return nullptr;
    }
    result = DXResult::OK;
    return surface;
}

Platform::Surface* Graphics::AddToActiveAtlas(int width, int height, Rect* uv, Platform::SurfaceDesc* out)
{
    TextureSplatter* atlas = mActiveAtlas;
    return atlas ? atlas->Add(width, height, uv, out) : nullptr;
}

// Reached from the loader thread too, while the main thread binds textures.
void Graphics::ForgetTexture(const Texture* texture)
{
    AppLock lock;
    if (mSWHelper.GetTexture() == texture) {
        mSWHelper.ClearTexture();
    }
    if (mBoundTexture == texture || (texture->mSurface && mBoundSurface == texture->mSurface)) {
        mBoundTexture = nullptr;
        mBoundSurface = nullptr;
    }
    if (mLastShader.texture == texture) {
        mLastShader.texture = nullptr;
    }
}
