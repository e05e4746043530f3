#include "FuzzFile.h"

#include "app/Font.h"
#include "app/Graphics.h"
#include "app/TextureSplatter.h"

#include <filesystem>

// A font description beside a fixed 32 x 16 page: the first byte picks the
// tagged ".font" form or the binary "font.description" form. The script
// form names its own page images, and a missing image ends the program by
// design, so it is left to the tests.
namespace {
std::string folder;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    folder = ScratchPath("font");
    std::filesystem::create_directories(folder + "/B");
    WriteCachedImage(folder + "/T.cached", 32, 16);
    // The binary form names its pages data0, data1...: a font may have 256.
    for (int page = 0; page < 256; ++page)
        WriteCachedImage(folder + "/B/data" + std::to_string(page) + ".cached", 32, 16);
    theGraphics.mMaxTextureWidth = 2048;
    theGraphics.mMaxTextureHeight = 2048;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    const bool tagged = data[0] % 2 == 0;
    const std::string file = tagged ? folder + "/T.font" : folder + "/B/font.description";
    WriteWholeFile(file, data + 1, size - 1);
    {
        Font font;
        font.Load((tagged ? folder + "/T" : folder + "/B").c_str());
        font.GetWidth("The quick brown fox - 0123456789");
        font.WrapText("The quick brown fox jumps over the lazy dog", 40.0f);
        for (int c = 0; c < 256; ++c) {
            font.GetCharWidth(static_cast<char>(c));
        }
    }
    theTextureSplatter.Release();
    return 0;
}
