#include "app/Graphics.h"
#include "app/compatibility/HWTester.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace Compatibility {

namespace {
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;
constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr uint32_t kOpaqueBlue = 0xFF0000FF;
constexpr uint32_t kOpaqueRed = 0xFFFF0000;
constexpr uint32_t kGrey128 = 0x00808080;
// The tests look at this many pixels of the first row.
constexpr int kRowPixels = 64;
constexpr int kClipTextureSize = 1024;

// Writes every row of a 32-bit texture; a pixel is bytes B, G, R, A, so
// 0xAARRGGBB words in memory.
template <typename PixelOfColumn> void FillRows(Platform::Surface& texture, PixelOfColumn pixelOf)
{
    int pitch = 0;
    uint8_t* base = texture.Lock(&pitch);
    if (!base) {
        return;
    }
    for (int row = 0; row < texture.GetHeight(); ++row) {
        uint32_t* pixels = reinterpret_cast<uint32_t*>(base + static_cast<size_t>(row) * pitch);
        for (int column = 0; column < texture.GetWidth(); ++column) {
            pixels[column] = pixelOf(column, row * (pitch / 4) + column);
        }
    }
    texture.Unlock();
}

void FillTexture(Platform::Surface& texture, uint32_t argb)
{
    FillRows(texture, [argb](int, int) { return argb; });
}

// Pixels of a row lie 4 bytes apart on a 32-bit surface and 2 bytes apart
// on any other.
const uint8_t* PixelAddress(const Platform::Surface& surface, int x, int y)
{
    const int step = surface.GetFormat().bitsPerPixel == 32 ? 4 : 2;
    return surface.GetRow(y) + static_cast<size_t>(x) * step;
}

uint32_t PixelAt(const Platform::Surface& surface, int x, int y)
{
    return HWTester::ReadPixel(surface.GetDesc(), PixelAddress(surface, x, y));
}

int Channel(uint32_t argb, int shift)
{
    return static_cast<int>((argb >> shift) & 0xFF);
}

bool AllChannelsAbove(uint32_t argb, uint32_t reference)
{
    for (int shift : {16, 8, 0}) {
        if (Channel(argb, shift) <= Channel(reference, shift)) {
            return false;
        }
    }
    return true;
}

bool DiffersBy(uint32_t a, uint32_t b, int limit)
{
    for (int shift : {16, 8, 0}) {
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > limit) {
            return true;
        }
    }
    return false;
}

int RowPixels(const Platform::Surface& surface)
{
    return std::min(kRowPixels, surface.GetWidth());
}

// A 16-bit level scaled to 0..255 and truncated, so a 5-bit 16 reads 131.
uint32_t ScaledLevel(uint32_t value, uint32_t mask, uint8_t shift)
{
    const uint32_t top = mask >> shift;
    if (top == 0) {
        return 0;
    }
    const double level = static_cast<double>((value & mask) >> shift) / top;
    return static_cast<uint32_t>(level * 255.0);
}
} // namespace

uint8_t HWTester::ChannelShift(uint32_t mask)
{
    uint8_t shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

uint32_t HWTester::ReadPixel(const Platform::SurfaceDesc& desc, const uint8_t* address)
{
    const Platform::PixelFormat& format = desc.format;
    const uint8_t redShift = ChannelShift(format.redMask);
    const uint8_t greenShift = ChannelShift(format.greenMask);
    const uint8_t blueShift = ChannelShift(format.blueMask);
    uint32_t red;
    uint32_t green;
    uint32_t blue;
    if (format.bitsPerPixel == 16) {
        const uint32_t value = static_cast<uint32_t>(address[0]) | static_cast<uint32_t>(address[1]) << 8;
        red = ScaledLevel(value, format.redMask, redShift);
        green = ScaledLevel(value, format.greenMask, greenShift);
        blue = ScaledLevel(value, format.blueMask, blueShift);
    } else if (format.bitsPerPixel == 32) {
        const uint32_t value = static_cast<uint32_t>(address[0]) | static_cast<uint32_t>(address[1]) << 8 |
                               static_cast<uint32_t>(address[2]) << 16 |
                               static_cast<uint32_t>(address[3]) << 24;
        red = ((value & format.redMask) >> redShift) & 0xFF;
        green = ((value & format.greenMask) >> greenShift) & 0xFF;
        blue = ((value & format.blueMask) >> blueShift) & 0xFF;
    } else {
        red = green = blue = address[0];
    }
    return 0xFF000000 | red << 16 | green << 8 | blue;
}

int HWTester::CountAlphaSteps(const Platform::Surface& surface)
{
    uint32_t last = PixelAt(surface, 0, 0);
    int count = 0;
    for (int i = 0; i < RowPixels(surface); ++i) {
        const uint32_t pixel = PixelAt(surface, i, 0);
        if (AllChannelsAbove(pixel, last)) {
            ++count;
            last = pixel;
        }
    }
    return count;
}

int HWTester::CountBrightPixels(const Platform::Surface& surface)
{
    constexpr uint32_t kBrightLimit = 0x969696; // 150 in each channel
    int count = 0;
    for (int i = 0; i < RowPixels(surface); ++i) {
        count += AllChannelsAbove(PixelAt(surface, i, 0), kBrightLimit) ? 1 : 0;
    }
    return count;
}

bool HWTester::ShowsColor(const Platform::Surface& surface, uint32_t rgb)
{
    for (int i = 0; i < RowPixels(surface); ++i) {
        if ((PixelAt(surface, i, 0) & 0x00FFFFFF) == (rgb & 0x00FFFFFF)) {
            return true;
        }
    }
    return false;
}

bool HWTester::HasClipProblem(const Platform::Surface& surface)
{
    for (int column = 0; column < surface.GetWidth(); column += 2) {
        const uint32_t reference = PixelAt(surface, column, 0);
        for (int row = 0; row < surface.GetHeight(); ++row) {
            if (DiffersBy(PixelAt(surface, column, row), reference, 128)) {
                return true;
            }
        }
    }
    return false;
}

void HWTester::ClearRenderSurface()
{
    Check(mDevice->BeginFrame() ? DXResult::OK : DXResult::SurfaceLost, "Blt");
    mDevice->Clear(0);
}

void HWTester::BeginScene()
{
    Check(mDevice->BeginFrame() ? DXResult::OK : DXResult::SurfaceLost, "BeginScene");
}

void HWTester::ReadRenderSurface()
{
    Check(mDevice->ReadBackBuffer(*mRenderSurface) ? DXResult::OK : DXResult::SurfaceLost, "Lock");
}

void HWTester::SetStates(Platform::BlendMode blend)
{
    // Culling, mip filtering and the material have no counterpart: the
    // renderer never culls, never mip-maps and colours by the vertices.
    mDevice->SetBlendMode(blend);
}

void HWTester::DrawTestQuad(float x, float y)
{
    DrawSurfaceQuad(x, y, mTextureSurface.get());
}

void HWTester::DrawSurfaceQuad(float x, float y, const Platform::Surface* texture)
{
    const float w = static_cast<float>(texture->GetWidth());
    const float h = static_cast<float>(texture->GetHeight());
    const Platform::RenderVertex strip[4] = {
        {x, y, kOpaqueWhite, 0.0f, 0.0f},
        {x, y + h, kOpaqueWhite, 0.0f, 1.0f},
        {x + w, y, kOpaqueWhite, 1.0f, 0.0f},
        {x + w, y + h, kOpaqueWhite, 1.0f, 1.0f},
    };
    mDevice->SetTexture(texture, false);
    mDevice->DrawTriangleStrip(strip, 4);
}

void HWTester::IsAlphaCapable()
{
    ClearRenderSurface();
    FillRows(*mTextureSurface,
             [](int column, int) { return static_cast<uint32_t>(4 * column) << 24 | 0xFFFFFF; });
    BeginScene();
    SetStates(Platform::BlendMode::Normal);
    DrawTestQuad(0, 0);
    ReadRenderSurface();
    const int count = CountAlphaSteps(*mRenderSurface);
    if (forced) {
        Snapshot("IsAlphaCapable_Primary.bmp", mRenderSurface.get());
        Snapshot("IsAlphaCapable_Texture.bmp", mTextureSurface.get());
    }
    if (count < 2) {
        Fail("No alpha blending detected");
    }
    if (count < 12) {
        Warn("Poor alpha blending detected");
    }
}

void HWTester::IsAdditiveCapable()
{
    if (CountAdditiveBright(0xFF000000 | kGrey128, 2, "IsAdditiveCapable") < 55) {
        Warn("No additive blending detected");
    }
}

void HWTester::IsAdditiveAlphaCapable()
{
    if (CountAdditiveBright(0x40000000 | kGrey128, 4, "IsAdditiveAlphaCapable") > 55) {
        Warn("No alpha+additive blending detected");
    }
}

// The texture drawn additively that many times over itself; the bright
// pixels of the result.
int HWTester::CountAdditiveBright(uint32_t argb, int draws, const char* test)
{
    ClearRenderSurface();
    FillTexture(*mTextureSurface, argb);
    BeginScene();
    SetStates(Platform::BlendMode::Additive);
    for (int i = 0; i < draws; ++i) {
        DrawTestQuad(0, 0);
    }
    ReadRenderSurface();
    if (forced) {
        Snapshot(String(test).Concat("_Primary.bmp").CStr(), mRenderSurface.get());
        Snapshot(String(test).Concat("_Texture.bmp").CStr(), mTextureSurface.get());
    }
    return CountBrightPixels(*mRenderSurface);
}

void HWTester::IsTextureSwitchingOK()
{
    ClearRenderSurface();
    FillTexture(*mTextureSurface, kOpaqueBlue);
    BeginScene();
    SetStates(Platform::BlendMode::Normal);
    DrawTestQuad(0, 0);
    // Refilled with the scene still open: the second quad must show the new
    // pixels and the first must keep the old ones.
    FillTexture(*mTextureSurface, kOpaqueRed);
    DrawTestQuad(32, 0);
    ReadRenderSurface();
    const bool blue = ShowsColor(*mRenderSurface, kOpaqueBlue);
    const bool red = ShowsColor(*mRenderSurface, kOpaqueRed);
    if (forced) {
        Snapshot("IsTextureSwitchingOK_Primary.bmp", mRenderSurface.get());
    }
    if (!blue || !red) {
        Fail("Texture Switching Failed");
    }
}

void HWTester::IsClipProblem()
{
    if (mMaxTextureSize.x < kClipTextureSize) {
        return;
    }
    ClearRenderSurface();
    std::unique_ptr<Platform::Surface> large;
    try {
        large = std::make_unique<Platform::Surface>(kClipTextureSize, kClipTextureSize,
                                                    Platform::PixelFormat::ARGB8888());
    } catch (const std::bad_alloc&) {
        Check(DXResult::OutOfMemory, "CreateSurface(IsClipProblem)");
    }
    // White and black alternate in memory order, white first: one-pixel
    // vertical stripes, white in the even columns.
    FillRows(*large, [](int, int index) { return index % 2 == 0 ? kOpaqueWhite : kOpaqueBlack; });
    BeginScene();
    SetStates(Platform::BlendMode::None);
    DrawSurfaceQuad(-2, -2, large.get());
    ReadRenderSurface();
    const bool problem = HasClipProblem(*mRenderSurface);
    if (forced) {
        Snapshot("IsClipProblem_Primary.bmp", mRenderSurface.get());
    }
    mDevice->SetTexture(nullptr, false);
    large.reset();
    if (problem) {
        Fail("3D Clipping problem detected");
    }
}

} // namespace Compatibility
