#include "platform/FrameChanges.h"

#include <algorithm>
#include <cstring>

namespace Platform {

namespace {

uint64_t Load64(const uint8_t* at)
{
    uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The pixels from the first to the last that differ between two rows of
// `bytes` bytes, `pixelBytes` to a pixel.
RowSpan ChangedPixels(const uint8_t* last, const uint8_t* now, size_t bytes, int pixelBytes)
{
    if (std::memcmp(last, now, bytes) == 0) {
        return {};
    }
    size_t first = 0;
    while (first + 8 <= bytes && Load64(last + first) == Load64(now + first)) {
        first += 8;
    }
    while (last[first] == now[first]) {
        ++first;
    }
    size_t end = bytes;
    while (end >= first + 8 && Load64(last + end - 8) == Load64(now + end - 8)) {
        end -= 8;
    }
    while (last[end - 1] == now[end - 1]) {
        --end;
    }
    return {static_cast<int>(first) / pixelBytes, static_cast<int>(end - 1) / pixelBytes + 1};
}

} // namespace

RowSpan RowSpan::Union(const RowSpan& other) const
{
    if (Empty()) {
        return other;
    }
    if (other.Empty()) {
        return *this;
    }
    return {std::min(begin, other.begin), std::max(end, other.end)};
}

void FrameChanges::Take(const Surface& frame)
{
    const int width = frame.GetWidth();
    const int height = frame.GetHeight();
    const int pixelBytes = frame.GetFormat().BytesPerPixel();
    const size_t rowBytes = static_cast<size_t>(width) * pixelBytes;
    const bool comparable = mKnown && width == mWidth && height == static_cast<int>(mRows.size()) && frame.GetFormat() == mFormat;
    mWidth = width;
    mFormat = frame.GetFormat();
    mRows.resize(static_cast<size_t>(height));
    mLast.resize(rowBytes * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* now = frame.GetRow(y);
        uint8_t* last = mLast.data() + rowBytes * y;
        const RowSpan span = comparable ? ChangedPixels(last, now, rowBytes, pixelBytes) : RowSpan{0, width};
        if (!span.Empty()) {
            std::memcpy(last + span.begin * pixelBytes, now + span.begin * pixelBytes,
                        static_cast<size_t>(span.end - span.begin) * pixelBytes);
        }
        mRows[static_cast<size_t>(y)] = span;
    }
    mKnown = true;
}

} // namespace Platform
