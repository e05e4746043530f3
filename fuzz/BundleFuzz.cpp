#include "FuzzFile.h"

#include "app/Graphics.h"
#include "app/ParseXML.h"
#include "app/SpriteBundle.h"

#include <filesystem>

// A bundle's "splat.dat" over a folder of fixed images: two strip sources, a
// clumped one and a plain one. A named image that is not there ends the
// program by design (the game cannot run without its art), so inputs naming
// any other image are passed over.
namespace {
std::string folder;
const char* const kImages[] = {"walk", "fall", "big", "single"};

bool NamesOnlyKnownImages(const std::string& path)
{
    ParseXML file;
    file.OpenFile(path.c_str());
    for (ParseXMLTag tag = file.NextTag(); !tag.empty; tag = file.NextTag()) {
        if (tag.name.CompareNoCase("IMAGE") != 0)
            continue;
        String name = tag.content;
        name.TrimLeft();
        name.TrimRight();
        bool known = false;
        for (const char* image : kImages)
            known = known || name == image;
        if (!known)
            return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    folder = ScratchPath("bundle");
    std::filesystem::create_directories(folder);
    WriteCachedImage(folder + "/walk.cached", 64, 8);
    WriteCachedImage(folder + "/fall.cached", 8, 64);
    WriteCachedImage(folder + "/big.cached", 20, 20);
    const std::string clump = "<CLUMP><SIZE>20,20</SIZE><RECT>0,0,10,20</RECT><RECT>10,0,10,20</RECT></CLUMP>";
    WriteWholeFile(folder + "/big.clump", clump.data(), clump.size());
    WriteCachedImage(folder + "/single.cached", 6, 6);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string description = folder + "/splat.dat";
    WriteWholeFile(description, data, size);
    if (!NamesOnlyKnownImages(description))
        return 0;
    theGraphics.ResetState();
    theGraphics.mUseAtlas = true;
    theGraphics.mMaxTextureWidth = 4096;
    theGraphics.mMaxTextureHeight = 4096;
    {
        SpriteBundle bundle;
        bundle.Load(folder.c_str());
        for (const char* image : kImages) {
            int size[2];
            bundle.Get(image, size);
            bundle.Get(String::StringFormat("%s__1", image), size);
        }
    }
    theGraphics.ResetState();
    return 0;
}
