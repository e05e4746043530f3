#include "CachedImageFile.h"

#include <filesystem>
#include <fstream>

namespace {

void PutInt32(std::ofstream& file, uint32_t value)
{
    const char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    file.write(bytes, 4);
}

} // namespace

void WriteCachedImage(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels,
                      const std::vector<uint8_t>& extra)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path, std::ios::binary);
    PutInt32(file, uint32_t(width));
    PutInt32(file, uint32_t(height));
    for (uint32_t pixel : pixels) {
        PutInt32(file, pixel);
    }
    PutInt32(file, uint32_t(extra.size()));
    file.write(reinterpret_cast<const char*>(extra.data()), std::streamsize(extra.size()));
}
