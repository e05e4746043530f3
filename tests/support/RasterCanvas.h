#pragma once

#include "app/compatibility/RasterTypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

// Surfaces and textures for the raster core's suites.
namespace RasterTest {

using namespace Compatibility;

inline constexpr TargetFormat kFormats[] = {TargetFormat::ARGB8888, TargetFormat::RGB565,
                                            TargetFormat::RGB555};

inline int BytesOf(TargetFormat format)
{
    return format == TargetFormat::ARGB8888 ? 4 : 2;
}

// A surface inside a larger block: the rows and columns around it are canaries that no
// drawing may touch.
struct Canvas
{
    static constexpr int kBorder = 8;
    static constexpr uint8_t kCanary = 0xCD;

    Canvas(TargetFormat f, int w, int h) : format(f), width(w), height(h)
    {
        pitch = width + 2 * kBorder;
        bytes.assign(static_cast<size_t>(pitch) * (height + 2 * kBorder) * BytesOf(format), kCanary);
        for (int y = 0; y < height; ++y) {
            std::memset(Row(y), 0, static_cast<size_t>(width) * BytesOf(format));
        }
    }

    uint8_t* Row(int y)
    {
        return bytes.data() + ((static_cast<size_t>(y) + kBorder) * pitch + kBorder) * BytesOf(format);
    }
    RasterTarget Target() { return {Row(0), static_cast<uint32_t>(pitch), width, height}; }

    uint32_t Pixel(int x, int y)
    {
        uint8_t* p = Row(y) + static_cast<size_t>(x) * BytesOf(format);
        if (format == TargetFormat::ARGB8888) {
            uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }

    bool CanariesIntact()
    {
        for (int y = -kBorder; y < height + kBorder; ++y) {
            for (int x = -kBorder; x < width + kBorder; ++x) {
                if (x >= 0 && x < width && y >= 0 && y < height) {
                    continue;
                }
                const uint8_t* p = bytes.data() + ((static_cast<size_t>(y) + kBorder) * pitch + x + kBorder) *
                                                      BytesOf(format);
                for (int b = 0; b < BytesOf(format); ++b) {
                    if (p[b] != kCanary) {
                        return false;
                    }
                }
            }
        }
        return true;
    }

    TargetFormat format;
    int width;
    int height;
    int pitch;
    std::vector<uint8_t> bytes;
};

struct Texture
{
    Texture(int w, int h, int pitchTexels, std::mt19937& random)
        : texels(static_cast<size_t>(pitchTexels) * h)
    {
        // Alphas gather around the thresholds the members test.
        const uint32_t alphas[] = {0, 8, 9, 100, 128, 239, 240, 241, 255};
        for (uint32_t& t : texels) {
            t = (random() & 0x00FFFFFF) | (alphas[random() % 9] << 24);
        }
        int shift = 0;
        while ((1 << (shift + 1)) <= pitchTexels) {
            ++shift;
        }
        raster = {texels.data(), 16 - shift, static_cast<uint32_t>(w - 1) << 16,
                  static_cast<uint32_t>(h - 1) << 16};
    }

    std::vector<uint32_t> texels;
    RasterTexture raster;
};

inline void FillRandom(Canvas& canvas, std::mt19937& random)
{
    for (int y = 0; y < canvas.height; ++y) {
        uint8_t* row = canvas.Row(y);
        for (int i = 0; i < canvas.width * BytesOf(canvas.format); ++i) {
            row[i] = static_cast<uint8_t>(random());
        }
    }
}

inline void ExpectSame(Canvas& a, Canvas& b, const std::string& what)
{
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y)) << what << " at " << x << "," << y;
        }
    }
}

} // namespace RasterTest
