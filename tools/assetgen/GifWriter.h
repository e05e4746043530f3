#pragma once

#include <cstdint>
#include <vector>

namespace AssetGen {

// GIF89a with one image: colours snapped to a fixed 216-colour cube, index
// 0 transparent (pixels with less than half alpha).
class GifWriter
{
  public:
    static std::vector<uint8_t> Encode(int width, int height, const std::vector<uint8_t>& rgba);

    // The LZW data stream (code size byte, sub-blocks, terminator) of 8-bit
    // indexes, shared with the tests that check our own decoding.
    static std::vector<uint8_t> Compress(const std::vector<uint8_t>& indexes);
};

} // namespace AssetGen
