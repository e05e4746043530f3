#include "app/Console.h"
#include "app/Image.h"

#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

namespace {

struct MemorySource
{
    const uint8_t* data;
    size_t size;
    size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (source->size - source->position < count) {
        png_error(png, "read past the end of the file");
    }
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

// Everything the reader allocates lives here, outside the function that
// calls setjmp, so a longjmp from libpng leaves nothing in an undefined state
// and the destructor frees it all on every path.
struct PngReader
{
    MemorySource source;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<uint32_t> pixels;
    std::vector<png_bytep> rows;
    png_uint_32 width = 0;
    png_uint_32 height = 0;

    ~PngReader()
    {
        if (png != nullptr) {
            png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
        }
    }
};

// The library's complaint goes to the session log instead of stderr.
[[noreturn]] void LogError(png_structp png, png_const_charp message)
{
    if (theConsole != nullptr) {
        theConsole->Printf("WARNING: PNG: %s", message);
    }
    png_longjmp(png, 1);
}

void QuietWarning(png_structp, png_const_charp) {}

// The 8-bit BGRA layout the image wants, whatever the file holds: palettes
// and grey expanded, 16-bit channels stripped, alpha filled where absent,
// interlaced passes combined by libpng.
void RequestBGRA(PngReader& reader)
{
    png_set_expand(reader.png);
    png_set_strip_16(reader.png);
    png_set_filler(reader.png, 0xFF, PNG_FILLER_AFTER);
    png_set_gray_to_rgb(reader.png);
    png_set_bgr(reader.png);
    png_set_interlace_handling(reader.png);
    png_read_update_info(reader.png, reader.info);
}

bool ReadPng(PngReader& reader)
{
    if (setjmp(png_jmpbuf(reader.png))) {
        return false;
    }
    png_set_read_fn(reader.png, &reader.source, ReadFromMemory);
    png_read_info(reader.png, reader.info);
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(reader.png, reader.info, &reader.width, &reader.height, &bitDepth, &colorType, nullptr,
                 nullptr, nullptr);
    if (!Image::IsSizeAcceptable(reader.width, reader.height)) {
        return false;
    }
    RequestBGRA(reader);
    if (png_get_rowbytes(reader.png, reader.info) != size_t(reader.width) * 4) {
        return false;
    }
    reader.pixels.resize(size_t(reader.width) * reader.height);
    reader.rows.resize(reader.height);
    for (png_uint_32 y = 0; y < reader.height; ++y) {
        reader.rows[y] = reinterpret_cast<png_bytep>(reader.pixels.data() + size_t(y) * reader.width);
    }
    png_read_image(reader.png, reader.rows.data());
    png_read_end(reader.png, nullptr);
    return true;
}

} // namespace

void Image::DecodePNG(const uint8_t* data, size_t size)
{
    Free();
    PngReader reader;
    reader.source = MemorySource{data, size, 0};
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, LogError, QuietWarning);
    if (reader.png == nullptr) {
        return;
    }
    reader.info = png_create_info_struct(reader.png);
    if (reader.info == nullptr || !ReadPng(reader)) {
        return;
    }
    Create(int(reader.width), int(reader.height), false);
    std::memcpy(mPixels, reader.pixels.data(), reader.pixels.size() * 4);
}
