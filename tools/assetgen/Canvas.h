#pragma once

#include "tools/assetgen/Color.h"
#include "tools/assetgen/Mask.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace AssetGen {

// Colour of a layer at a point (straight colour with alpha).
using Paint = std::function<Color(float x, float y)>;

namespace Paints {
Paint Solid(Color c);
Paint Linear(float x0, float y0, Color c0, float x1, float y1, Color c1);
Paint Vertical(float y0, Color c0, float y1, Color c1);
Paint Radial(float cx, float cy, float r, Color inner, Color outer);
} // namespace Paints

// A picture being painted: premultiplied RGBA in floats, so that layers
// compose without fringes; converted to 8-bit straight colour on output.
class Canvas
{
  public:
    Canvas() = default;
    Canvas(int width, int height, Color fill = {0, 0, 0, 0});

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

    void Fill(const Mask& mask, const Paint& paint);
    void Fill(const Mask& mask, Color c) { Fill(mask, Paints::Solid(c)); }
    Mask FillShape(const Sdf& shape, const Paint& paint);
    Mask FillShape(const Sdf& shape, Color c) { return FillShape(shape, Paints::Solid(c)); }
    void FillAll(const Paint& paint);
    void Shadow(const Mask& mask, int dx, int dy, float blur, float alpha);
    void Glow(const Mask& mask, float radius, Color c);
    // Lights the shape's edges from the top left, as if raised.
    void Bevel(const Mask& mask, float width, float strength);
    // A soft glossy highlight over the top part of a shape.
    void Gloss(const Mask& mask, float top, float bottom, float alpha);
    // Lays src over this canvas with its top-left at (x, y), scaled.
    void Draw(const Canvas& src, float x, float y, float scale = 1, float alpha = 1);
    // Alpha and colour become 0 wherever the mask is 0: hit tests by alpha
    // then follow the shape exactly.
    void KeepInside(const Mask& mask);
    Canvas Cropped(int x, int y, int width, int height) const;
    Mask Alpha() const;
    bool IsOpaque() const;

    // 8-bit straight RGBA rows from the top.
    std::vector<uint8_t> ToRgba8() const;

  private:
    void Blend(int x, int y, Color c, float coverage);
    Color Sample(float x, float y) const;

    int mWidth = 0;
    int mHeight = 0;
    std::vector<float> mPixels; // premultiplied r, g, b, a
};

} // namespace AssetGen
