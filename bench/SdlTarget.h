#pragma once

#include "app/compatibility/RasterTypes.h"

#include <SDL.h>

#include <cstdint>
#include <vector>

// One render target drawn two ways: by our rasterisers into its pixels, and by SDL's
// software renderer into an SDL_Surface of the same size and format.
struct SdlTarget
{
    SdlTarget(Compatibility::TargetFormat format, int width, int height);
    ~SdlTarget();
    SdlTarget(const SdlTarget&) = delete;
    SdlTarget& operator=(const SdlTarget&) = delete;

    Compatibility::RasterTarget Raster() const;
    uint8_t* Row(int y) const;
    int BytesPerPixel() const;

    Compatibility::TargetFormat format;
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;
};

// A 32-bit ARGB texture with its texels in both forms.
struct SdlTexture
{
    SdlTexture(SdlTarget& target, int width, int height, bool translucent);
    ~SdlTexture();
    SdlTexture(const SdlTexture&) = delete;
    SdlTexture& operator=(const SdlTexture&) = delete;

    Compatibility::RasterTexture Raster() const;

    std::vector<uint32_t> texels;
    int width;
    int height;
    SDL_Surface* surface = nullptr;
    SDL_Texture* texture = nullptr;
};

SDL_PixelFormatEnum SdlFormatOf(Compatibility::TargetFormat format);
