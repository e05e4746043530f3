#include "tools/assetgen/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace AssetGen {
namespace {

struct FileCloser
{
    void operator()(FILE* f) const { std::fclose(f); }
};

std::vector<uint8_t> Pack(int width, int height, const std::vector<uint8_t>& rgba, int channels)
{
    std::vector<uint8_t> out(size_t(width) * height * channels);
    for (size_t i = 0, n = size_t(width) * height; i < n; ++i)
        for (int c = 0; c < channels; ++c)
            out[i * channels + c] = rgba[i * 4 + c];
    return out;
}

} // namespace

void PngWriter::Write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                      Layout layout)
{
    int channels = layout == Layout::Rgba ? 4 : layout == Layout::Rgb ? 3 : 1;
    int type = layout == Layout::Rgba  ? PNG_COLOR_TYPE_RGB_ALPHA
               : layout == Layout::Rgb ? PNG_COLOR_TYPE_RGB
                                       : PNG_COLOR_TYPE_GRAY;
    std::vector<uint8_t> packed = Pack(width, height, rgba, channels);

    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encoding failed for " + path);
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, &packed[size_t(y) * width * channels]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

} // namespace AssetGen
