#pragma once

#include "tools/assetgen/Canvas.h"

#include <string>
#include <vector>

namespace AssetGen {

enum class ImageFormat {
    Png,
    Jpeg,         // opaque pictures
    JpegWithMask, // colour as JPEG, coverage in a "_alpha" PNG beside it
    Gif,
};

// A small picture of everything written, for the contact sheet.
struct Thumbnail
{
    std::string name;
    int width = 0;
    int height = 0;
    Canvas picture;
};

// Writes the game's files under the program folder. Names are the game's
// own ("graphics\title"); folders are made as needed.
class AssetWriter
{
  public:
    explicit AssetWriter(std::string root);

    void SaveImage(const std::string& name, const Canvas& canvas, ImageFormat format = ImageFormat::Png);
    void SaveText(const std::string& fileName, const std::string& text);
    void SaveBytes(const std::string& fileName, const std::vector<uint8_t>& bytes);
    void SaveSound(const std::string& name, const std::vector<float>& samples, int rate, bool ogg);
    std::string PathOf(const std::string& fileName) const;

    const std::vector<Thumbnail>& Thumbnails() const { return mThumbnails; }
    int FileCount() const { return mFileCount; }

  private:
    std::string Prepare(const std::string& fileName);

    std::string mRoot;
    std::vector<Thumbnail> mThumbnails;
    int mFileCount = 0;
    int mOggSerial = 1;
};

} // namespace AssetGen
