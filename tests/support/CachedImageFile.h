#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes a picture in the image cache layout (".cached": width, height,
// 0xAARRGGBB pixels, extra size, extra bytes), which the image loader reads
// before any other kind: the quickest way for a test to put an image of
// exact pixels under a base name.
void WriteCachedImage(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels,
                      const std::vector<uint8_t>& extra = {});
