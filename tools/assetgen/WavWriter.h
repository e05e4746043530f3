#pragma once

#include <cstdint>
#include <vector>

namespace AssetGen {

// Canonical 44-byte-header RIFF WAVE files, 16-bit PCM mono: the game reads
// the format at fixed offsets, so no other chunk comes before "data".
class WavWriter
{
  public:
    static std::vector<uint8_t> Encode(const std::vector<float>& samples, int rate);
};

} // namespace AssetGen
