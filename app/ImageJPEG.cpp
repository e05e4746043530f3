#include "app/Console.h"
#include "app/Image.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <vector>

namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    jmp_buf recovery;
    bool truncated = false;
};

void LogMessage(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    if (theConsole != nullptr) {
        theConsole->Printf("WARNING: JPEG: %s", text);
    }
}

void ErrorExit(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->output_message)(info);
    longjmp(errors->recovery, 1);
}

// Warnings stay quiet, but a file that ends early is noted: the library
// would pad it with grey and call it a picture.
void NoteMessage(j_common_ptr info, int level)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        errors->truncated = true;
    }
}

// Owns the decompressor and the pixels so that every way out, a longjmp
// from the library included, frees them.
struct JpegReader
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    bool created = false;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> row;

    ~JpegReader()
    {
        if (created) {
            jpeg_destroy_decompress(&info);
        }
    }
};

// Greyscale is expanded to RGB by the library; CMYK and YCCK files would need
// an inversion convention we cannot know, so they are refused.
bool CanConvertToRGB(J_COLOR_SPACE space)
{
    return space == JCS_GRAYSCALE || space == JCS_RGB || space == JCS_YCbCr;
}

bool ReadJpeg(JpegReader& reader, const uint8_t* data, size_t size)
{
    if (setjmp(reader.errors.recovery)) {
        return false;
    }
    jpeg_create_decompress(&reader.info);
    reader.created = true;
    jpeg_mem_src(&reader.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&reader.info, TRUE);
    // Refused before the library allocates for the declared size: a small
    // progressive file can claim gigabytes.
    if (!CanConvertToRGB(reader.info.jpeg_color_space) ||
        !Image::IsSizeAcceptable(reader.info.image_width, reader.info.image_height)) {
        return false;
    }
    reader.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&reader.info);
    const JDIMENSION width = reader.info.output_width;
    const JDIMENSION height = reader.info.output_height;
    if (reader.info.output_components != 3 || !Image::IsSizeAcceptable(width, height)) {
        return false;
    }
    reader.pixels.resize(size_t(width) * height);
    reader.row.resize(size_t(width) * 3);
    while (reader.info.output_scanline < height) {
        uint32_t* out = reader.pixels.data() + size_t(reader.info.output_scanline) * width;
        JSAMPROW row = reader.row.data();
        if (jpeg_read_scanlines(&reader.info, &row, 1) != 1) {
            return false;
        }
        for (JDIMENSION x = 0; x < width; ++x) {
            const uint8_t* rgb = reader.row.data() + size_t(x) * 3;
            out[x] = 0xFF000000u | uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
        }
    }
    jpeg_finish_decompress(&reader.info);
    return !reader.errors.truncated;
}

} // namespace

void Image::DecodeJPEG(const uint8_t* data, size_t size)
{
    Free();
    if (size == 0) {
        return;
    }
    JpegReader reader;
    reader.info.err = jpeg_std_error(&reader.errors.base);
    reader.errors.base.error_exit = ErrorExit;
    reader.errors.base.emit_message = NoteMessage;
    reader.errors.base.output_message = LogMessage;
    if (!ReadJpeg(reader, data, size)) {
        return;
    }
    Create(int(reader.info.output_width), int(reader.info.output_height), false);
    std::copy(reader.pixels.begin(), reader.pixels.end(), mPixels);
}
