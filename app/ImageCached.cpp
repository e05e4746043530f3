#include "app/Image.h"

#include <cstring>

namespace {

bool ReadInt32(const uint8_t* data, size_t size, size_t& position, int32_t& value)
{
    if (size - position < 4) {
        return false;
    }
    uint32_t bits = uint32_t(data[position]) | uint32_t(data[position + 1]) << 8 |
                    uint32_t(data[position + 2]) << 16 | uint32_t(data[position + 3]) << 24;
    value = int32_t(bits);
    position += 4;
    return true;
}

} // namespace

// The cache holds width, height, the pixels and the extra data as they were
// in memory (little-endian). Sizes are checked against the file: a damaged
// cache leaves the image empty.
void Image::DecodeCached(const uint8_t* data, size_t size)
{
    Free();
    size_t position = 0;
    int32_t w = 0;
    int32_t h = 0;
    if (!ReadInt32(data, size, position, w) || !ReadInt32(data, size, position, h) ||
        !IsSizeAcceptable(w, h)) {
        return;
    }
    const size_t pixelBytes = size_t(w) * size_t(h) * 4;
    int32_t extraSize = 0;
    if (size - position < pixelBytes) {
        return;
    }
    size_t extraAt = position + pixelBytes;
    if (!ReadInt32(data, size, extraAt, extraSize) || (extraSize > 0 && size - extraAt < size_t(extraSize))) {
        return;
    }
    Create(w, h, false);
    for (size_t i = 0; i < size_t(w) * size_t(h); ++i) {
        const uint8_t* p = data + position + i * 4;
        mPixels[i] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    SetExtra(data + extraAt, extraSize);
}
