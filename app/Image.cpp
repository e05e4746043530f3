#include "app/Image.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// One accumulator cell per pixel: the channels B, G, R, A of the weighted sum.
struct Cell
{
    int32_t c[4] = {0, 0, 0, 0};
};

void AddWeighted(Cell& cell, uint32_t pixel, int32_t weight)
{
    for (int i = 0; i < 4; ++i) {
        cell.c[i] += int32_t((pixel >> (8 * i)) & 0xFF) * weight;
    }
}

void AddWeightedCell(Cell& cell, const Cell& source, int32_t weight)
{
    for (int i = 0; i < 4; ++i) {
        cell.c[i] += source.c[i] * weight;
    }
}

uint32_t PackCell(const Cell& cell)
{
    uint32_t pixel = 0;
    for (int i = 0; i < 4; ++i) {
        const int32_t v = std::clamp(cell.c[i] >> 16, 0, 255);
        pixel |= uint32_t(v) << (8 * i);
    }
    return pixel;
}

// A grid of cells with one padding cell before the first column and one
// padding row before the first row, as the weights below may spill into the
// cell after the last one.
class CellGrid
{
  public:
    CellGrid(int columns, int rows) : mColumns(columns), mCells(size_t(columns) * size_t(rows)) {}
    Cell& At(int column, int row) { return mCells[size_t(row) * size_t(mColumns) + size_t(column)]; }
    int Columns() const { return mColumns; }

  private:
    int mColumns;
    std::vector<Cell> mCells;
};

void ShrinkRow(const uint32_t* source, int width, int newWidth, CellGrid& grid, int row)
{
    const float s = float(newWidth) / float(width);
    for (int i = 0; i < width; ++i) {
        const float p = 1.0f + float(i) * s;
        const float p2 = p + s;
        const int a = int(p);
        const int b = int(p2);
        if (a == b) {
            AddWeighted(grid.At(a, row), source[i], int32_t(s * 257.0f));
        } else {
            AddWeighted(grid.At(a, row), source[i], int32_t((float(b) - p) * 257.0f));
            AddWeighted(grid.At(a + 1, row), source[i], int32_t((p2 - float(b)) * 257.0f));
        }
    }
}

void GrowRow(const uint32_t* source, int width, int newWidth, CellGrid& grid, int row)
{
    const float r = float(width - 1) / float(newWidth - 1);
    for (int j = 1; j <= grid.Columns() - 2; ++j) {
        const float q = float(j - 1) * r;
        // The padding cells past the last column would sample beyond the row.
        const int k = std::min(int(q), width - 1);
        const int k1 = std::min(k + 1, width - 1);
        const int32_t f = int32_t((1.0f - (q - float(k))) * 257.0f);
        Cell& cell = grid.At(j, row);
        cell = Cell();
        AddWeighted(cell, source[k], f);
        AddWeighted(cell, source[k1], 257 - f);
    }
}

void AddRow(CellGrid& from, int fromRow, CellGrid& to, int toRow, int32_t weight)
{
    for (int x = 1; x <= from.Columns() - 2; ++x) {
        AddWeightedCell(to.At(x, toRow), from.At(x, fromRow), weight);
    }
}

void ShrinkColumns(CellGrid& rows, int height, int newHeight, CellGrid& out)
{
    const float t = float(newHeight) / float(height);
    for (int i = 0; i < height; ++i) {
        const float p = 1.0f + float(i) * t;
        const float p2 = p + t;
        const int a = int(p);
        const int b = int(p2);
        if (a == b) {
            AddRow(rows, i, out, a, int32_t(t * 256.0f));
        } else {
            AddRow(rows, i, out, a, int32_t((float(b) - p) * 256.0f));
            AddRow(rows, i, out, a + 1, int32_t((p2 - float(b)) * 256.0f));
        }
    }
}

void GrowColumns(CellGrid& rows, int height, int newHeight, CellGrid& out)
{
    const float r = float(height - 1) / float(newHeight - 1);
    for (int j = 1; j <= newHeight; ++j) {
        const float q = float(j - 1) * r;
        const int k = std::min(int(q), height - 1);
        const int k1 = std::min(k + 1, height - 1);
        const int32_t f = int32_t((1.0f - (q - float(k))) * 256.0f);
        AddRow(rows, k, out, j, f);
        AddRow(rows, k1, out, j, 256 - f);
    }
}

} // namespace

Image::Image() = default;

Image::Image(const Image& other)
{
    if (other.mWidth > 0 && other.mHeight > 0) {
        CopyRect(other, 0, 0, other.mWidth, other.mHeight);
    }
}

Image::Image(const char* baseName, const char* alphaName)
{
    Load(baseName, alphaName);
}

Image::~Image()
{
    Free();
}

void Image::Free()
{
    delete[] mPixels;
    delete[] mExtra;
    mPixels = nullptr;
    mExtra = nullptr;
    mExtraSize = 0;
    mWidth = -1;
    mHeight = -1;
}

uint32_t* Image::GetPixelPtr(int x, int y)
{
    if (mPixels == nullptr || x < 0 || y < 0 || x >= mWidth || y >= mHeight) {
        return nullptr;
    }
    return mPixels + size_t(y) * size_t(mWidth) + size_t(x);
}

const uint32_t* Image::GetPixelPtr(int x, int y) const
{
    return const_cast<Image*>(this)->GetPixelPtr(x, y);
}

bool Image::IsSizeAcceptable(int64_t w, int64_t h)
{
    return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && w * h <= kMaxPixels;
}

void Image::Create(int w, int h, bool clear)
{
    Free();
    if (w < 0 || h < 0) {
        return;
    }
    mWidth = w;
    mHeight = h;
    if (w > 0 && h > 0) {
        const size_t count = size_t(w) * size_t(h);
        mPixels = clear ? new uint32_t[count]() : new uint32_t[count];
    }
}

void Image::AdoptPixels(uint32_t* pixels, int w, int h)
{
    Free();
    mPixels = pixels;
    mWidth = w;
    mHeight = h;
}

void Image::SetExtra(const uint8_t* data, int size)
{
    delete[] mExtra;
    mExtra = nullptr;
    mExtraSize = 0;
    if (data != nullptr && size > 0) {
        mExtra = new uint8_t[size_t(size)];
        std::memcpy(mExtra, data, size_t(size));
        mExtraSize = size;
    }
}

void Image::CopyRect(const Image& source, int x, int y, int w, int h)
{
    // The source may be this image (a crop): keep its pixels until copied.
    uint32_t* sourcePixels = source.mPixels;
    const int sourceWidth = source.mWidth;
    const int sourceHeight = source.mHeight;
    std::vector<uint8_t> extra(source.mExtra, source.mExtra + std::max(source.mExtraSize, 0));
    const bool self = &source == this;
    if (self) {
        mPixels = nullptr;
    }
    Create(w, h, true);
    if (mPixels != nullptr && sourcePixels != nullptr) {
        const int left = std::max(x, 0);
        const int right = std::min(int64_t(x) + w, int64_t(sourceWidth));
        for (int r = std::max(0, -y); r < h && int64_t(y) + r < sourceHeight; ++r) {
            if (right <= left) {
                break;
            }
            const uint32_t* from = sourcePixels + size_t(y + r) * size_t(sourceWidth) + size_t(left);
            std::memcpy(mPixels + size_t(r) * size_t(w) + size_t(left - x), from, size_t(right - left) * 4);
        }
    }
    if (self) {
        delete[] sourcePixels;
    }
    SetExtra(extra.data(), int(extra.size()));
}

void Image::Resample(int newWidth, int newHeight, Image* dest)
{
    if (mPixels == nullptr || mWidth < 1 || mHeight < 1) {
        return;
    }
    Image result;
    result.Create(std::max(newWidth, 0), std::max(newHeight, 0), true);
    if (result.mPixels != nullptr) {
        const int cellsPerRow = newWidth + 4;
        CellGrid rows(cellsPerRow, mHeight);
        for (int y = 0; y < mHeight; ++y) {
            const uint32_t* source = mPixels + size_t(y) * size_t(mWidth);
            if (newWidth <= mWidth) {
                ShrinkRow(source, mWidth, newWidth, rows, y);
            } else {
                GrowRow(source, mWidth, newWidth, rows, y);
            }
        }
        CellGrid out(cellsPerRow, newHeight + 4);
        if (newHeight <= mHeight) {
            ShrinkColumns(rows, mHeight, newHeight, out);
        } else {
            GrowColumns(rows, mHeight, newHeight, out);
        }
        for (int y = 0; y < newHeight; ++y) {
            for (int x = 0; x < newWidth; ++x) {
                result.mPixels[size_t(y) * size_t(newWidth) + size_t(x)] = PackCell(out.At(x + 1, y + 1));
            }
        }
    }
    Image& target = dest != nullptr ? *dest : *this;
    uint32_t* pixels = result.mPixels;
    result.mPixels = nullptr;
    if (dest != nullptr) {
        dest->Free();
        dest->SetExtra(mExtra, mExtraSize);
    }
    delete[] target.mPixels;
    target.mPixels = pixels;
    target.mWidth = result.mWidth;
    target.mHeight = result.mHeight;
}

void Image::ApplyAlphaMask(const Image& mask)
{
    if (mPixels == nullptr || mask.mPixels == nullptr || mask.mWidth != mWidth || mask.mHeight != mHeight) {
        return;
    }
    const size_t count = size_t(mWidth) * size_t(mHeight);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t red = (mask.mPixels[i] >> 16) & 0xFF;
        mPixels[i] = (mPixels[i] & 0x00FFFFFF) | (red << 24);
    }
}

void Image::MakeOpaqueWhite()
{
    if (mPixels != nullptr) {
        std::fill(mPixels, mPixels + size_t(mWidth) * size_t(mHeight), 0xFFFFFFFFu);
    }
}
