#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace AssetGen {

// PNG files as the game's reader takes them: 8-bit channels, no interlace,
// and no time chunk, so that the same picture gives the same bytes.
class PngWriter
{
  public:
    enum class Layout {
        Rgba,
        Rgb,  // opaque pictures
        Gray, // alpha masks: the loader reads the red channel
    };

    // rgba: width x height pixels of 4 bytes, rows from the top.
    static void Write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                      Layout layout);
};

} // namespace AssetGen
