#include "app/FXImage.h"

#include "app/Font.h"
#include "app/Point.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Pixels are 0xAARRGGBB: channel 0 blue, 1 green, 2 red, 3 alpha.
uint8_t ChannelOf(uint32_t pixel, int channel)
{
    return uint8_t(pixel >> (8 * channel));
}

uint32_t PackChannels(const uint8_t channels[4])
{
    return uint32_t(channels[0]) | uint32_t(channels[1]) << 8 | uint32_t(channels[2]) << 16 |
           uint32_t(channels[3]) << 24;
}

// Truncated toward zero, low 8 bits kept: a factor above 1 wraps, as the
// filters always did. Values no integer can hold give 0.
uint8_t ToByte(float v)
{
    if (!(v > -2147483648.0f && v < 2147483648.0f)) {
        return 0;
    }
    return uint8_t(int64_t(v));
}

// The two added halves are part of the arithmetic the art was made with.
uint8_t BlendChannel(uint8_t destination, float source, float weight, float destinationWeight)
{
    const float d = float(destination) * destinationWeight;
    const float s = source * weight;
    const float v = (d + 0.5f) + (s + 0.5f);
    return v > 255.0f ? 255 : uint8_t(int(v));
}

float Component(const Color& c, int channel)
{
    const float components[3] = {c.b, c.g, c.r};
    return components[channel];
}

struct Composition
{
    Color color{1, 1, 1, 1};
    bool tinted = false;
    // Text drawing weighs the destination by the glyph's alpha alone.
    bool textWeights = false;
};

void Compose(uint32_t& destination, uint32_t source, const Composition& how)
{
    const uint8_t sourceAlpha = ChannelOf(source, 3);
    const uint8_t destinationAlpha = ChannelOf(destination, 3);
    const float a = float(sourceAlpha) / 255.0f;
    uint8_t out[4];
    if (!how.tinted) {
        if (sourceAlpha >= 250 || destinationAlpha == 0) {
            destination = source;
            return;
        }
        for (int i = 0; i < 3; ++i) {
            out[i] = BlendChannel(ChannelOf(destination, i), float(ChannelOf(source, i)), a, 1.0f - a);
        }
    } else {
        const Color& c = how.color;
        if (c.a * float(sourceAlpha) >= 250.0f || destinationAlpha == 0) {
            for (int i = 0; i < 3; ++i) {
                out[i] = ToByte(float(ChannelOf(source, i)) * Component(c, i));
            }
            out[3] = ToByte(float(sourceAlpha) * c.a);
            destination = PackChannels(out);
            return;
        }
        const float weight = c.a * a;
        const float destinationWeight = how.textWeights ? 1.0f - a : 1.0f - weight;
        for (int i = 0; i < 3; ++i) {
            const float s = float(ChannelOf(source, i)) * Component(c, i);
            out[i] = BlendChannel(ChannelOf(destination, i), s, weight, destinationWeight);
        }
    }
    out[3] = std::max(destinationAlpha, sourceAlpha);
    destination = PackChannels(out);
}

bool IsTinted(const Color& c)
{
    return c.r != 1.0f || c.g != 1.0f || c.b != 1.0f || c.a != 1.0f;
}

} // namespace

void FXImage::Fill(const Color& c, bool withAlpha)
{
    const size_t count = mPixels != nullptr ? size_t(mWidth) * size_t(mHeight) : 0;
    const uint32_t rgb = uint32_t(ToByte(c.r * 255.0f)) << 16 | uint32_t(ToByte(c.g * 255.0f)) << 8 |
                         uint32_t(ToByte(c.b * 255.0f));
    const uint32_t alpha = uint32_t(ToByte(c.a * 255.0f)) << 24;
    for (size_t i = 0; i < count; ++i) {
        mPixels[i] = rgb | (withAlpha ? alpha : (mPixels[i] & 0xFF000000u));
    }
}

bool FXImage::IsOutside(const Image& src, int x, int y) const
{
    return mPixels == nullptr || src.mPixels == nullptr || src.mWidth + x < 0 || src.mHeight + y < 0 ||
           x >= mWidth || y >= mHeight;
}

void FXImage::DrawImage(const Image& src, int x, int y, Rect srcRect, const Color& c)
{
    if (IsOutside(src, x, y)) {
        return;
    }
    const Composition how{c, IsTinted(c), false};
    const int top = int(srcRect.y);
    const int left = int(srcRect.x);
    for (int sy = top, dy = y; sy < top + int(srcRect.h) && dy < mHeight && sy < src.mHeight; ++sy, ++dy) {
        if (dy < 0 || sy < 0) {
            continue;
        }
        for (int sx = left, dx = x; sx < left + int(srcRect.w) && dx < mWidth && sx < src.mWidth;
             ++sx, ++dx) {
            if (dx < 0 || sx < 0) {
                continue;
            }
            const uint32_t s = *src.GetPixelPtr(sx, sy);
            if (ChannelOf(s, 3) > 2) {
                Compose(*GetPixelPtr(dx, dy), s, how);
            }
        }
    }
}

void FXImage::DrawImageAt(const Image& src, int x, int y, const Color& c)
{
    DrawImage(src, x, y, Rect(0, 0, float(src.mWidth), float(src.mHeight)), c);
}

void FXImage::PasteRect(const Image& src, int x, int y, Rect srcRect)
{
    if (IsOutside(src, x, y)) {
        return;
    }
    const int top = int(srcRect.y);
    for (int sy = top, dy = y; sy < top + int(srcRect.h) && dy < mHeight && sy < src.mHeight; ++sy, ++dy) {
        if (dy < 0 || sy < 0) {
            continue;
        }
        int first = int(srcRect.x);
        int end = std::min(int(srcRect.x + srcRect.w), src.mWidth);
        int dx = x;
        if (x < 0) {
            first -= x;
            dx = 0;
        }
        first = std::max(first, 0);
        end = std::min(end, first + (mWidth - dx));
        if (end - first > 0) {
            std::memcpy(GetPixelPtr(dx, dy), src.GetPixelPtr(first, sy), size_t(end - first) * 4);
        }
    }
}

void FXImage::BlendPixel(int x, int y, const Color& c)
{
    uint32_t* pixel = GetPixelPtr(x, y);
    if (pixel == nullptr || c.a == 0.0f) {
        return;
    }
    const uint8_t oldAlpha = ChannelOf(*pixel, 3);
    uint8_t out[4];
    if (c.a == 1.0f || oldAlpha == 0) {
        for (int i = 0; i < 3; ++i) {
            out[i] = ToByte(Component(c, i) * 255.0f);
        }
        out[3] = ToByte(c.a * 255.0f);
    } else {
        for (int i = 0; i < 3; ++i) {
            out[i] = BlendChannel(ChannelOf(*pixel, i), Component(c, i) * 255.0f, c.a, 1.0f - c.a);
        }
        out[3] = std::max(oldAlpha, ToByte(c.a * 255.0f));
    }
    *pixel = PackChannels(out);
}

void FXImage::FillRect(Rect r, const Color& c)
{
    // Pixels outside the image are skipped anyway; the loops need not visit them.
    const int top = std::max(int(r.y), 0);
    const int bottom = std::min(int(r.y + r.h), mHeight - 1);
    const int left = std::max(int(r.x), 0);
    const int right = std::min(int(r.x + r.w), mWidth - 1);
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            BlendPixel(x, y, c);
        }
    }
}

Rect FXImage::GetAlphaBounds() const
{
    int minX = mWidth;
    int minY = mHeight;
    int maxX = -1;
    int maxY = -1;
    for (int y = 0; y < mHeight && mPixels != nullptr; ++y) {
        for (int x = 0; x < mWidth; ++x) {
            if (ChannelOf(*GetPixelPtr(x, y), 3) != 0) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    if (maxX < 0) {
        return Rect(0, 0, 1, 1);
    }
    return Rect(float(minX), float(minY), float(maxX - minX + 1), float(maxY - minY + 1));
}

void FXImage::Crop(Rect r)
{
    if (r.x == 0.0f && r.y == 0.0f && r.w == 0.0f && r.h == 0.0f) {
        r = GetAlphaBounds();
    }
    // Callers pass rectangles from data files: keep the crop inside the image.
    const int left = std::clamp(int(r.x), 0, std::max(mWidth, 0));
    const int top = std::clamp(int(r.y), 0, std::max(mHeight, 0));
    const int right = std::clamp(int(r.x) + int(r.w), left, std::max(mWidth, 0));
    const int bottom = std::clamp(int(r.y) + int(r.h), top, std::max(mHeight, 0));
    CopyRect(*this, left, top, right - left, bottom - top);
}

void FXImage::AddBorder(int n, const Color& c)
{
    if (mPixels == nullptr || n < 0) {
        return;
    }
    const Image copy(*this);
    Create(copy.mWidth + 2 * n, copy.mHeight + 2 * n, true);
    Fill(c, true);
    DrawImageAt(copy, n, n, Color(1, 1, 1, 1));
}

void FXImage::BleedEdges()
{
    if (mPixels == nullptr) {
        return;
    }
    AddBorder(1, Color(0, 0, 0, 0));
    const int w = mWidth;
    const int h = mHeight;
    for (int x = 1; x <= w - 2; ++x) {
        *GetPixelPtr(x, 0) = *GetPixelPtr(x, 1);
        *GetPixelPtr(x, h - 1) = *GetPixelPtr(x, h - 2);
    }
    for (int y = 1; y <= h - 2; ++y) {
        *GetPixelPtr(0, y) = *GetPixelPtr(1, y);
        *GetPixelPtr(w - 1, y) = *GetPixelPtr(w - 2, y);
    }
    *GetPixelPtr(0, 0) = *GetPixelPtr(1, 1);
    *GetPixelPtr(w - 1, 0) = *GetPixelPtr(w - 2, 1);
    *GetPixelPtr(0, h - 1) = *GetPixelPtr(1, h - 2);
    *GetPixelPtr(w - 1, h - 1) = *GetPixelPtr(w - 2, h - 2);
}

void FXImage::DrawGlyph(const Image& glyph, int x, int y, const Color& c, bool tinted)
{
    const Composition how{c, tinted, true};
    for (int gy = 0; gy < glyph.mHeight; ++gy) {
        for (int gx = 0; gx < glyph.mWidth; ++gx) {
            uint32_t* d = GetPixelPtr(x + gx, y + gy);
            if (d != nullptr) {
                Compose(*d, *glyph.GetPixelPtr(gx, gy), how);
            }
        }
    }
}

void FXImage::PasteGlyph(const Image& glyph, int x, int y)
{
    for (int gy = 0; gy < glyph.mHeight; ++gy) {
        for (int gx = 0; gx < glyph.mWidth; ++gx) {
            uint32_t* d = GetPixelPtr(x + gx, y + gy);
            if (d != nullptr) {
                *d = *glyph.GetPixelPtr(gx, gy);
            }
        }
    }
}

namespace {

// Calls draw (glyph image, x, y) for every character of the text that has a
// glyph image, at the font's layout positions.
template <typename Draw> void ForEachGlyph(const String& text, Font* font, int x, int y, Draw draw)
{
    const int length = text.Length();
    if (font == nullptr || length < 1) {
        return;
    }
    std::unique_ptr<Point[]> positions(new Point[size_t(length)]);
    font->GetCharPositions(text, positions.get());
    for (int i = 0; i < length; ++i) {
        const signed char c = static_cast<signed char>(text.CharAt(i));
        const Image* glyph = c > ' ' ? font->GetCharImage(char(c)) : nullptr;
        if (glyph != nullptr && glyph->mPixels != nullptr) {
            draw(*glyph, int(positions[size_t(i)].x) + x, int(positions[size_t(i)].y) + y);
        }
    }
}

} // namespace

void FXImage::DrawText(const String& text, Font* font, int x, int y, const Color& c)
{
    const bool tinted = IsTinted(c);
    ForEachGlyph(text, font, x, y,
                 [&](const Image& glyph, int gx, int gy) { DrawGlyph(glyph, gx, gy, c, tinted); });
}

void FXImage::CreateFromText(const String& text, Font* font, int border, bool raw)
{
    Free();
    if (font == nullptr) {
        return;
    }
    const Point extent = font->GetTextExtent(text);
    Create(int(extent.x + float(2 * border)), int(extent.y + float(2 * border)), true);
    if (!raw) {
        DrawText(text, font, border, border, Color(1, 1, 1, 1));
        return;
    }
    ForEachGlyph(text, font, border, border,
                 [&](const Image& glyph, int gx, int gy) { PasteGlyph(glyph, gx, gy); });
}
