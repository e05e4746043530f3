#include "tools/assetgen/Mask.h"

#include "tools/assetgen/Color.h"

#include <algorithm>
#include <cmath>

namespace AssetGen {
namespace {

// One box pass along a line of n values spaced by step.
void BoxLine(float* v, int n, int step, int r, std::vector<float>& tmp)
{
    tmp.assign(n, 0.0f);
    float sum = 0;
    for (int i = -r; i <= r; ++i)
        if (i >= 0 && i < n)
            sum += v[i * step];
    for (int i = 0; i < n; ++i) {
        tmp[i] = sum / (2 * r + 1);
        int out = i - r, in = i + r + 1;
        if (out >= 0)
            sum -= v[out * step];
        if (in < n)
            sum += v[in * step];
    }
    for (int i = 0; i < n; ++i)
        v[i * step] = tmp[i];
}

} // namespace

Mask Mask::FromSdf(int width, int height, const Sdf& shape)
{
    Mask m(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            m.Ref(x, y) = Clamp01(0.5f - shape(x + 0.5f, y + 0.5f));
    return m;
}

Mask Mask::Blurred(float radius) const
{
    // Three box passes come close to a gaussian.
    Mask m = *this;
    int r = std::max(1, int(std::lround(radius / 1.7f)));
    std::vector<float> tmp;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < mHeight; ++y)
            BoxLine(&m.mValues[size_t(y) * mWidth], mWidth, 1, r, tmp);
        for (int x = 0; x < mWidth; ++x)
            BoxLine(&m.mValues[x], mHeight, mWidth, r, tmp);
    }
    return m;
}

Mask Mask::Shifted(int dx, int dy) const
{
    Mask m(mWidth, mHeight);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x)
            m.Ref(x, y) = At(x - dx, y - dy);
    return m;
}

Mask Mask::Dilated(int radius) const
{
    Mask m(mWidth, mHeight);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x) {
            float best = 0;
            for (int j = -radius; j <= radius; ++j)
                for (int i = -radius; i <= radius; ++i) {
                    float d = std::sqrt(float(i * i + j * j));
                    if (d > radius + 0.5f)
                        continue;
                    float w = Clamp01(radius + 0.5f - d);
                    best = std::max(best, At(x + i, y + j) * w);
                }
            m.Ref(x, y) = best;
        }
    return m;
}

Mask Mask::Times(const Mask& other) const
{
    Mask m = *this;
    for (size_t i = 0; i < m.mValues.size(); ++i)
        m.mValues[i] *= other.mValues[i];
    return m;
}

Mask Mask::Minus(const Mask& other) const
{
    Mask m = *this;
    for (size_t i = 0; i < m.mValues.size(); ++i)
        m.mValues[i] = Clamp01(m.mValues[i] - other.mValues[i]);
    return m;
}

Mask Mask::Plus(const Mask& other) const
{
    Mask m = *this;
    for (size_t i = 0; i < m.mValues.size(); ++i)
        m.mValues[i] = std::max(m.mValues[i], other.mValues[i]);
    return m;
}

Mask Mask::Scaled(float factor) const
{
    Mask m = *this;
    for (float& v : m.mValues)
        v = Clamp01(v * factor);
    return m;
}

void Mask::Merge(const Mask& other, int x, int y)
{
    for (int j = 0; j < other.mHeight; ++j)
        for (int i = 0; i < other.mWidth; ++i) {
            int tx = x + i, ty = y + j;
            if (tx >= 0 && ty >= 0 && tx < mWidth && ty < mHeight)
                Ref(tx, ty) = std::max(Ref(tx, ty), other.At(i, j));
        }
}

} // namespace AssetGen
