#pragma once

#include "tools/assetgen/AssetWriter.h"

#include <string>
#include <vector>

namespace AssetGen {

// One art folder the game loads as a sprite bundle. A described bundle gets
// a "splat.dat" listing its images and declaring its strips (so that each
// strip frame is packed on its own); a plain one is loaded by listing the
// folder, so only the pictures themselves may lie in it.
class BundleWriter
{
  public:
    BundleWriter(AssetWriter& out, std::string folder, bool described);

    void Add(const std::string& name, const Canvas& picture, ImageFormat format = ImageFormat::Png);
    // Frames side by side in one picture.
    void AddStrip(const std::string& name, const std::vector<Canvas>& frames);
    // The picture of the same name in another folder, through a redirect file.
    void AddRedirect(const std::string& name, const std::string& relativeFolder);
    // A strip whose picture is not written through this bundle.
    void DeclareStrip(const std::string& name, int frames);
    // A described image with no file here, found through the folder's
    // "__notfound.shortcut".
    void AddFromFallback(const std::string& name);
    void SetFallback(const std::string& relativeFolder);
    void SetPageSize(int width, int height);
    void Finish();

    // Loading steps the game's bundle loader counts for this folder.
    int Steps() const { return mSteps; }
    std::string PathOf(const std::string& name) const { return mFolder + "\\" + name; }

  private:
    AssetWriter& mOut;
    std::string mFolder;
    bool mDescribed;
    std::string mStrips;
    std::string mImages;
    std::string mPageSize;
    int mSteps = 0;
};

} // namespace AssetGen
