#pragma once

#include "tools/assetgen/Shape.h"

#include <vector>

namespace AssetGen {

// Coverage 0..1 per pixel: the shape of a layer before it is painted.
class Mask
{
  public:
    Mask() = default;
    Mask(int width, int height) : mWidth(width), mHeight(height), mValues(size_t(width) * height, 0.0f) {}

    static Mask FromSdf(int width, int height, const Sdf& shape);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    float At(int x, int y) const
    {
        return (x < 0 || y < 0 || x >= mWidth || y >= mHeight) ? 0.0f : mValues[size_t(y) * mWidth + x];
    }
    float& Ref(int x, int y) { return mValues[size_t(y) * mWidth + x]; }

    Mask Blurred(float radius) const;
    Mask Shifted(int dx, int dy) const;
    Mask Dilated(int radius) const;
    Mask Times(const Mask& other) const;
    Mask Minus(const Mask& other) const;
    Mask Plus(const Mask& other) const;
    Mask Scaled(float factor) const;
    // Pastes other with its top-left at (x, y), taking the larger coverage.
    void Merge(const Mask& other, int x, int y);

  private:
    int mWidth = 0;
    int mHeight = 0;
    std::vector<float> mValues;
};

} // namespace AssetGen
