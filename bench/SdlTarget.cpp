#include "SdlTarget.h"

#include <cstdlib>
#include <random>

using Compatibility::TargetFormat;

SDL_PixelFormatEnum SdlFormatOf(TargetFormat format)
{
    switch (format) {
    case TargetFormat::RGB565:
        return SDL_PIXELFORMAT_RGB565;
    case TargetFormat::RGB555:
        return SDL_PIXELFORMAT_RGB555;
    default:
        return SDL_PIXELFORMAT_ARGB8888;
    }
}

SdlTarget::SdlTarget(TargetFormat f, int width, int height) : format(f)
{
    surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, SDL_BITSPERPIXEL(SdlFormatOf(f)), SdlFormatOf(f));
    if (surface == nullptr) {
        SDL_Log("surface: %s", SDL_GetError());
        std::abort();
    }
    renderer = SDL_CreateSoftwareRenderer(surface);
    if (renderer == nullptr) {
        SDL_Log("renderer: %s", SDL_GetError());
        std::abort();
    }
    SDL_memset(surface->pixels, 0x40, static_cast<size_t>(surface->pitch) * height);
}

SdlTarget::~SdlTarget()
{
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
}

int SdlTarget::BytesPerPixel() const
{
    return surface->format->BytesPerPixel;
}

uint8_t* SdlTarget::Row(int y) const
{
    return static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
}

Compatibility::RasterTarget SdlTarget::Raster() const
{
    return {surface->pixels, static_cast<uint32_t>(surface->pitch / BytesPerPixel()), surface->w, surface->h};
}

SdlTexture::SdlTexture(SdlTarget& target, int w, int h, bool translucent)
    : texels(static_cast<size_t>(w) * h), width(w), height(h)
{
    std::mt19937 random(5);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // Sprite-like art: an opaque body, a soft rim and transparent corners.
            int dx = 2 * x - w, dy = 2 * y - h;
            int d = (dx * dx + dy * dy) * 255 / (w * w);
            uint32_t alpha =
                translucent ? static_cast<uint32_t>(d < 120 ? 255 : (d < 255 ? 255 - d : 0)) : 255;
            texels[static_cast<size_t>(y) * w + x] = (alpha << 24) | (random() & 0x00FFFFFF);
        }
    }
    surface = SDL_CreateRGBSurfaceWithFormatFrom(texels.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
    texture = SDL_CreateTextureFromSurface(target.renderer, surface);
    SDL_SetSurfaceBlendMode(surface, translucent ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
}

SdlTexture::~SdlTexture()
{
    SDL_DestroyTexture(texture);
    SDL_FreeSurface(surface);
}

Compatibility::RasterTexture SdlTexture::Raster() const
{
    int shift = 0;
    while ((1 << (shift + 1)) <= width) {
        ++shift;
    }
    return {texels.data(), 16 - shift, static_cast<uint32_t>(width - 1) << 16,
            static_cast<uint32_t>(height - 1) << 16};
}
