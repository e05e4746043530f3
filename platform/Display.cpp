#include "platform/Display.h"
#include "platform/XScreen.h"

#include <SDL.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace Platform {

namespace {
std::atomic<uint32_t> gNextSurfaceId{1};

uint32_t ChannelShift(uint32_t mask)
{
    return mask ? std::countr_zero(mask) : 0;
}

uint32_t EncodeChannel(uint32_t mask, uint32_t value)
{
    if (mask == 0) {
        return 0;
    }
    const uint32_t shift = ChannelShift(mask);
    const uint32_t top = mask >> shift;
    return ((value * top / 255) << shift) & mask;
}

uint32_t DecodeChannel(uint32_t mask, uint32_t pixel)
{
    const uint32_t shift = ChannelShift(mask);
    const uint32_t top = mask >> shift;
    return (((pixel & mask) >> shift) * 255 + top / 2) / top;
}

uint32_t ReadRaw(const uint8_t* p, int bytes)
{
    switch (bytes) {
    case 4: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case 3:
        return p[0] | (p[1] << 8) | (p[2] << 16);
    case 2: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case 1:
        return *p;
    default:
        return 0;
    }
}

void WriteRaw(uint8_t* p, int bytes, uint32_t v)
{
    switch (bytes) {
    case 4:
        std::memcpy(p, &v, 4);
        break;
    case 3:
        p[0] = v & 0xFF;
        p[1] = (v >> 8) & 0xFF;
        p[2] = (v >> 16) & 0xFF;
        break;
    case 2: {
        const uint16_t w = static_cast<uint16_t>(v);
        std::memcpy(p, &w, 2);
        break;
    }
    case 1:
        *p = static_cast<uint8_t>(v);
        break;
    default:
        break;
    }
}

SDL_Window* AsWindow(Platform::NativeWindow* window)
{
    return reinterpret_cast<SDL_Window*>(window);
}

bool VideoReady()
{
    return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

// The sizes the game itself offers, whatever the display lists.
constexpr int kGameSizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
} // namespace

uint32_t EncodePixel(const PixelFormat& format, uint32_t argb)
{
    return EncodeChannel(format.redMask, (argb >> 16) & 0xFF) |
           EncodeChannel(format.greenMask, (argb >> 8) & 0xFF) | EncodeChannel(format.blueMask, argb & 0xFF) |
           EncodeChannel(format.alphaMask, argb >> 24);
}

uint32_t DecodePixel(const PixelFormat& format, uint32_t pixel)
{
    const uint32_t a = format.alphaMask ? DecodeChannel(format.alphaMask, pixel) : 255;
    const uint32_t r = format.redMask ? DecodeChannel(format.redMask, pixel) : 0;
    const uint32_t g = format.greenMask ? DecodeChannel(format.greenMask, pixel) : 0;
    const uint32_t b = format.blueMask ? DecodeChannel(format.blueMask, pixel) : 0;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

namespace {
constexpr size_t kLargeSurfaceBytes = size_t(4) << 20;
} // namespace

Surface::Surface(int width, int height, const PixelFormat& format) : mId(gNextSurfaceId.fetch_add(1))
{
    mDesc.width = std::max(width, 0);
    mDesc.height = std::max(height, 0);
    mDesc.format = format;
    // Rows start on 4-byte boundaries, as display surfaces do.
    mDesc.pitch = (mDesc.width * format.BytesPerPixel() + 3) & ~3;
    const size_t bytes = static_cast<size_t>(mDesc.pitch) * mDesc.height;
    if (bytes >= kLargeSurfaceBytes) {
        // Large blocks (atlas pages above all) are mapped from the
        // system, in 2 MB pages where it offers them: the loader writes an
        // atlas page here and there, and every first touch of a 4 KB page
        // is a fault of its own.
        void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block != MAP_FAILED) {
            madvise(block, bytes, MADV_HUGEPAGE);
            mPixels = std::unique_ptr<uint8_t[], FreePixels>(static_cast<uint8_t*>(block), FreePixels{bytes});
        }
    } else if (bytes > 0) {
        mPixels = std::unique_ptr<uint8_t[], FreePixels>(static_cast<uint8_t*>(std::calloc(bytes, 1)),
                                                         FreePixels{0});
    }
    // Without memory the surface is an empty one: every reader and writer
    // bounds itself by the size.
    if (!mPixels) {
        mDesc.width = mDesc.height = mDesc.pitch = 0;
    }
}

void Surface::FreePixels::operator()(uint8_t* pixels) const
{
    if (bytes > 0) {
        munmap(pixels, bytes);
    } else {
        std::free(pixels);
    }
}

Surface::~Surface()
{
    if (mUploaded.load()) {
        Renderer::ForgetSurface(mId);
    }
}

uint8_t* Surface::Lock(int* pitch)
{
    if (pitch) {
        *pitch = mDesc.pitch;
    }
    if (!mPixels) {
        return nullptr;
    }
    ++mLocks;
    return mPixels.get();
}

void Surface::Unlock()
{
    if (mLocks > 0) {
        --mLocks;
    }
    MarkChanged();
}

void Surface::FillRect(int x, int y, int width, int height, uint32_t pixel)
{
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + width, mDesc.width);
    const int y1 = std::min(y + height, mDesc.height);
    const int bytes = mDesc.format.BytesPerPixel();
    for (int row = y0; row < y1; ++row) {
        uint8_t* p = GetRow(row) + static_cast<size_t>(x0) * bytes;
        for (int col = x0; col < x1; ++col, p += bytes) {
            WriteRaw(p, bytes, pixel);
        }
    }
    MarkChanged();
}

void Surface::CopyFrom(const Surface& source)
{
    if (&source == this || !mPixels || !source.mPixels) {
        return;
    }
    const bool sameFormat = source.mDesc.format == mDesc.format;
    const bool sameSize = source.mDesc.width == mDesc.width && source.mDesc.height == mDesc.height;
    const int rowBytes = mDesc.width * mDesc.format.BytesPerPixel();
    if (sameFormat && sameSize) {
        for (int y = 0; y < mDesc.height; ++y) {
            std::memcpy(GetRow(y), source.GetRow(y), rowBytes);
        }
    } else {
        for (int y = 0; y < mDesc.height; ++y) {
            const int sy = static_cast<int>(static_cast<int64_t>(y) * source.mDesc.height / mDesc.height);
            for (int x = 0; x < mDesc.width; ++x) {
                const int sx = static_cast<int>(static_cast<int64_t>(x) * source.mDesc.width / mDesc.width);
                SetPixel(x, y, source.GetPixel(sx, sy));
            }
        }
    }
    MarkChanged();
}

uint32_t Surface::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= mDesc.width || y >= mDesc.height) {
        return 0;
    }
    const int bytes = mDesc.format.BytesPerPixel();
    return DecodePixel(mDesc.format, ReadRaw(GetRow(y) + static_cast<size_t>(x) * bytes, bytes));
}

void Surface::SetPixel(int x, int y, uint32_t argb)
{
    if (x < 0 || y < 0 || x >= mDesc.width || y >= mDesc.height) {
        return;
    }
    const int bytes = mDesc.format.BytesPerPixel();
    WriteRaw(GetRow(y) + static_cast<size_t>(x) * bytes, bytes, EncodePixel(mDesc.format, argb));
}

namespace {
// Bits to a pixel of a desktop whose layout SDL cannot name (deep colour,
// or a palette): as its pixels are stored.
int UnnamedDesktopBits()
{
    const int depth = GetXScreenFormat().depth;
    return depth > 16 ? 32 : depth > 8 ? 16 : depth;
}
} // namespace

DisplayMode GetDesktopMode()
{
    DisplayMode mode{1024, 768, 32, 60};
    SDL_DisplayMode sdl;
    if (VideoReady() && SDL_GetDesktopDisplayMode(0, &sdl) == 0) {
        mode.width = sdl.w;
        mode.height = sdl.h;
        // Four-byte formats count as 32 bits, as the desktop reports them.
        mode.bitsPerPixel =
            sdl.format != SDL_PIXELFORMAT_UNKNOWN ? SDL_BYTESPERPIXEL(sdl.format) * 8 : UnnamedDesktopBits();
        mode.refreshRate = sdl.refresh_rate;
    }
    return mode;
}

std::vector<DisplayMode> GetDisplayModes()
{
    const DisplayMode desktop = GetDesktopMode();
    std::vector<DisplayMode> modes;
    auto add = [&modes](const DisplayMode& mode) {
        for (const DisplayMode& m : modes) {
            if (m.width == mode.width && m.height == mode.height) {
                return;
            }
        }
        modes.push_back(mode);
    };
    if (VideoReady()) {
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode sdl;
            if (SDL_GetDisplayMode(0, i, &sdl) == 0) {
                add({sdl.w, sdl.h, static_cast<int>(SDL_BYTESPERPIXEL(sdl.format)) * 8, sdl.refresh_rate});
            }
        }
    }
    for (const auto& size : kGameSizes) {
        if (size[0] <= desktop.width && size[1] <= desktop.height) {
            add({size[0], size[1], desktop.bitsPerPixel, desktop.refreshRate});
        }
    }
    std::stable_sort(modes.begin(), modes.end(), [](const DisplayMode& a, const DisplayMode& b) {
        return a.width * a.height > b.width * b.height;
    });
    return modes;
}

void SetWindowFullscreen(NativeWindow* window, bool fullscreen)
{
    if (window) {
        SDL_Window* sdl = AsWindow(window);
        SDL_Rect display;
        if (fullscreen && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(sdl), &display) == 0) {
            // A window manager lays a full-screen window over the whole
            // display; on an X server without one nothing would, and the
            // frame, scaled to the display, would show in a corner of the
            // window as it was.
            SDL_SetWindowPosition(sdl, display.x, display.y);
            SDL_SetWindowSize(sdl, display.w, display.h);
        }
        SDL_SetWindowFullscreen(sdl, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        if (fullscreen) {
            SDL_DisableScreenSaver();
        } else {
            SDL_EnableScreenSaver();
        }
    }
}

void SetWindowClientSize(NativeWindow* window, int x, int y, int width, int height)
{
    if (window) {
        SDL_SetWindowSize(AsWindow(window), width, height);
        SDL_SetWindowPosition(AsWindow(window), x, y);
        SDL_ShowWindow(AsWindow(window));
    }
}

void GetWindowPosition(NativeWindow* window, int* x, int* y)
{
    *x = 0;
    *y = 0;
    if (window) {
        SDL_GetWindowPosition(AsWindow(window), x, y);
    }
}

int GetWindowFrameHeight(NativeWindow* window)
{
    int top = 0;
    int bottom = 0;
    if (!window || SDL_GetWindowBordersSize(AsWindow(window), &top, nullptr, &bottom, nullptr) != 0) {
        return 0;
    }
    return top + bottom;
}

} // namespace Platform
