#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace AssetGen {

// Baseline JFIF files with three components, as the game's reader expects.
class JpegWriter
{
  public:
    // rgba: width x height pixels of 4 bytes; alpha is not stored.
    static void Write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                      int quality);
};

} // namespace AssetGen
