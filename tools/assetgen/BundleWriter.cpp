#include "tools/assetgen/BundleWriter.h"

#include "tools/assetgen/ArtKit.h"

#include <stdexcept>

namespace AssetGen {

BundleWriter::BundleWriter(AssetWriter& out, std::string folder, bool described)
    : mOut(out), mFolder(std::move(folder)), mDescribed(described)
{
}

void BundleWriter::Add(const std::string& name, const Canvas& picture, ImageFormat format)
{
    if (!mDescribed && format == ImageFormat::JpegWithMask)
        throw std::logic_error("a listed bundle would load the mask as a picture: " + name);
    mOut.SaveImage(PathOf(name), picture, format);
    mImages += "<IMAGE>" + name + "</IMAGE>\r\n";
    ++mSteps;
}

void BundleWriter::AddStrip(const std::string& name, const std::vector<Canvas>& frames)
{
    DeclareStrip(name, int(frames.size()));
    Add(name, ArtKit::JoinFrames(frames));
}

void BundleWriter::DeclareStrip(const std::string& name, int frames)
{
    mStrips += "<STRIP>" + name + ":" + std::to_string(frames) + "</STRIP>";
}

void BundleWriter::AddRedirect(const std::string& name, const std::string& relativeFolder)
{
    mOut.SaveText(PathOf(name) + ".shortcut", relativeFolder + "\r\n");
    mImages += "<IMAGE>" + name + "</IMAGE>\r\n";
    ++mSteps;
}

void BundleWriter::AddFromFallback(const std::string& name)
{
    if (!mDescribed)
        throw std::logic_error("only a described bundle names images it does not hold: " + name);
    mImages += "<IMAGE>" + name + "</IMAGE>\r\n";
    ++mSteps;
}

void BundleWriter::SetFallback(const std::string& relativeFolder)
{
    // A listed folder would take the redirect file itself for a picture.
    if (!mDescribed)
        throw std::logic_error("only a described bundle may have a fallback folder");
    mOut.SaveText(PathOf("__notfound.shortcut"), relativeFolder);
}

void BundleWriter::SetPageSize(int width, int height)
{
    mPageSize = "<TSIZE>" + std::to_string(width) + "," + std::to_string(height) + "</TSIZE>\r\n";
}

void BundleWriter::Finish()
{
    if (!mDescribed)
        return;
    std::string text = mPageSize;
    if (!mStrips.empty())
        text += "<EXTENDEDINFO>" + mStrips + "</EXTENDEDINFO>\r\n";
    mOut.SaveText(PathOf("splat.dat"), text + mImages);
}

} // namespace AssetGen
