#pragma once

#include <string>
#include <vector>

namespace AssetGen {

// Canonical 44-byte-header RIFF WAVE files, 16-bit PCM mono: the game reads
// the format at fixed offsets, so no other chunk comes before "data".
class WavWriter
{
public:
    static void Write(const std::string& path, const std::vector<float>& samples, int rate);
};

} // namespace AssetGen
