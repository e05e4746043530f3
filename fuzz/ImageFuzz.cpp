#include "app/Image.h"

// The first byte picks the decoder, the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    Image image;
    const uint8_t* file = data + 1;
    const size_t fileSize = size - 1;
    switch (data[0] % 4) {
    case 0: image.DecodePNG(file, fileSize); break;
    case 1: image.DecodeJPEG(file, fileSize); break;
    case 2: image.DecodeGIF(file, fileSize); break;
    default: image.DecodeCached(file, fileSize); break;
    }
    if (image.HasPixels()) {
        // Touch the last pixel: the decoder's size must match what it made.
        volatile uint32_t last = *image.GetPixelPtr(image.mWidth - 1, image.mHeight - 1);
        (void)last;
    }
    return 0;
}
