#include "tools/assetgen/Canvas.h"

#include <algorithm>
#include <cmath>

namespace AssetGen {

namespace Paints {

Paint Solid(Color c)
{
    return [=](float, float) { return c; };
}

Paint Linear(float x0, float y0, Color c0, float x1, float y1, Color c1)
{
    float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    return [=](float x, float y) { return c0.Mix(c1, Clamp01(((x - x0) * dx + (y - y0) * dy) / len2)); };
}

Paint Vertical(float y0, Color c0, float y1, Color c1)
{
    return Linear(0, y0, c0, 0, y1, c1);
}

Paint Radial(float cx, float cy, float r, Color inner, Color outer)
{
    return [=](float x, float y) { return inner.Mix(outer, Clamp01(std::hypot(x - cx, y - cy) / r)); };
}

} // namespace Paints

Canvas::Canvas(int width, int height, Color fill) : mWidth(width), mHeight(height)
{
    mPixels.resize(size_t(width) * height * 4);
    for (size_t i = 0; i < mPixels.size(); i += 4) {
        mPixels[i] = fill.r * fill.a;
        mPixels[i + 1] = fill.g * fill.a;
        mPixels[i + 2] = fill.b * fill.a;
        mPixels[i + 3] = fill.a;
    }
}

void Canvas::Blend(int x, int y, Color c, float coverage)
{
    float a = Clamp01(c.a * coverage);
    if (a <= 0)
        return;
    float* p = &mPixels[(size_t(y) * mWidth + x) * 4];
    p[0] = c.r * a + p[0] * (1 - a);
    p[1] = c.g * a + p[1] * (1 - a);
    p[2] = c.b * a + p[2] * (1 - a);
    p[3] = a + p[3] * (1 - a);
}

void Canvas::Fill(const Mask& mask, const Paint& paint)
{
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x) {
            float m = mask.At(x, y);
            if (m > 0)
                Blend(x, y, paint(x + 0.5f, y + 0.5f), m);
        }
}

Mask Canvas::FillShape(const Sdf& shape, const Paint& paint)
{
    Mask m = Mask::FromSdf(mWidth, mHeight, shape);
    Fill(m, paint);
    return m;
}

void Canvas::FillAll(const Paint& paint)
{
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            Blend(x, y, paint(x + 0.5f, y + 0.5f), 1);
}

void Canvas::Shadow(const Mask& mask, int dx, int dy, float blur, float alpha)
{
    Mask m = mask.Shifted(dx, dy);
    if (blur > 0)
        m = m.Blurred(blur);
    Fill(m, Color{0, 0, 0.05f, alpha});
}

void Canvas::Glow(const Mask& mask, float radius, Color c)
{
    Mask m = mask.Dilated(int(radius / 3)).Blurred(radius).Scaled(1.6f);
    Fill(m, c);
}

void Canvas::Bevel(const Mask& mask, float width, float strength)
{
    Mask h = mask.Blurred(width);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x) {
            float m = mask.At(x, y);
            if (m <= 0)
                continue;
            float gx = h.At(x + 1, y) - h.At(x - 1, y);
            float gy = h.At(x, y + 1) - h.At(x, y - 1);
            // Light from the top left: surfaces rising towards it are lit.
            float light = (gx + gy) * width * strength * 0.9f;
            if (light > 0)
                Blend(x, y, Color{1, 1, 1, 1}, Clamp01(light) * m);
            else
                Blend(x, y, Color{0, 0, 0.1f, 1}, Clamp01(-light) * m);
        }
}

void Canvas::Gloss(const Mask& mask, float top, float bottom, float alpha)
{
    Fill(mask, [=](float, float y) {
        float t = Clamp01((y - top) / (bottom - top));
        return Color{1, 1, 1, alpha * (1 - t) * (y >= top ? 1.0f : 0.0f)};
    });
}

Color Canvas::Sample(float x, float y) const
{
    // Bilinear, transparent outside; returns premultiplied values.
    x -= 0.5f;
    y -= 0.5f;
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - x0, fy = y - y0;
    Color out{0, 0, 0, 0};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            int px = x0 + i, py = y0 + j;
            if (px < 0 || py < 0 || px >= mWidth || py >= mHeight)
                continue;
            float w = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
            const float* p = &mPixels[(size_t(py) * mWidth + px) * 4];
            out.r += p[0] * w;
            out.g += p[1] * w;
            out.b += p[2] * w;
            out.a += p[3] * w;
        }
    return out;
}

void Canvas::Draw(const Canvas& src, float x, float y, float scale, float alpha)
{
    int x0 = std::max(0, int(std::floor(x))), y0 = std::max(0, int(std::floor(y)));
    int x1 = std::min(mWidth, int(std::ceil(x + src.mWidth * scale)));
    int y1 = std::min(mHeight, int(std::ceil(y + src.mHeight * scale)));
    for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px) {
            Color s;
            if (scale < 1) {
                // Average a few samples so that reductions stay smooth.
                s = {0, 0, 0, 0};
                int n = std::clamp(int(std::ceil(1 / scale)), 1, 6);
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i) {
                        Color c =
                            src.Sample((px + (i + 0.5f) / n - x) / scale, (py + (j + 0.5f) / n - y) / scale);
                        s.r += c.r / (n * n);
                        s.g += c.g / (n * n);
                        s.b += c.b / (n * n);
                        s.a += c.a / (n * n);
                    }
            } else {
                s = src.Sample((px + 0.5f - x) / scale, (py + 0.5f - y) / scale);
            }
            float a = s.a * alpha;
            if (a <= 0)
                continue;
            float* p = &mPixels[(size_t(py) * mWidth + px) * 4];
            p[0] = s.r * alpha + p[0] * (1 - a);
            p[1] = s.g * alpha + p[1] * (1 - a);
            p[2] = s.b * alpha + p[2] * (1 - a);
            p[3] = a + p[3] * (1 - a);
        }
}

void Canvas::KeepInside(const Mask& mask)
{
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x) {
            float m = mask.At(x, y);
            float* p = &mPixels[(size_t(y) * mWidth + x) * 4];
            for (int c = 0; c < 4; ++c)
                p[c] *= m;
        }
}

Canvas Canvas::Cropped(int x, int y, int width, int height) const
{
    Canvas c(width, height);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            int sx = x + i, sy = y + j;
            if (sx < 0 || sy < 0 || sx >= mWidth || sy >= mHeight)
                continue;
            std::copy_n(&mPixels[(size_t(sy) * mWidth + sx) * 4], 4, &c.mPixels[(size_t(j) * width + i) * 4]);
        }
    return c;
}

Mask Canvas::Alpha() const
{
    Mask m(mWidth, mHeight);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            m.Ref(x, y) = mPixels[(size_t(y) * mWidth + x) * 4 + 3];
    return m;
}

bool Canvas::IsOpaque() const
{
    for (size_t i = 3; i < mPixels.size(); i += 4)
        if (mPixels[i] < 0.999f)
            return false;
    return true;
}

std::vector<uint8_t> Canvas::ToRgba8() const
{
    std::vector<uint8_t> out(size_t(mWidth) * mHeight * 4);
    for (size_t i = 0; i < out.size(); i += 4) {
        float a = Clamp01(mPixels[i + 3]);
        uint8_t a8 = uint8_t(std::lround(a * 255));
        if (a8 == 0)
            continue; // fully clear pixels carry no colour
        for (int c = 0; c < 3; ++c)
            out[i + c] = uint8_t(std::lround(Clamp01(mPixels[i + c] / a) * 255));
        out[i + 3] = a8;
    }
    return out;
}

} // namespace AssetGen
