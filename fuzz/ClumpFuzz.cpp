#include "FuzzFile.h"

#include "app/ClumpFile.h"
#include "app/Graphics.h"
#include "app/Sprite.h"

#include <filesystem>

// A clump description beside a fixed 40 x 30 picture, read the way a sprite
// reads it: every part cut from the picture and made a texture.
namespace {
std::string base;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string folder = ScratchPath("clump");
    std::filesystem::create_directories(folder);
    base = folder + "/whole";
    WriteCachedImage(base + ".cached", 40, 30);
    theGraphics.mMaxTextureWidth = 2048;
    theGraphics.mMaxTextureHeight = 2048;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteWholeFile(base + ".clump", data, size);
    Sprite sprite;
    sprite.Load(base.c_str());
    return 0;
}
