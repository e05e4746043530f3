#include "tools/assetgen/AssetWriter.h"

#include "tools/assetgen/GifWriter.h"
#include "tools/assetgen/JpegWriter.h"
#include "tools/assetgen/OggWriter.h"
#include "tools/assetgen/PngWriter.h"
#include "tools/assetgen/WavWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace AssetGen {
namespace {

constexpr int kThumbnailSize = 112;
constexpr int kJpegQuality = 92;

std::vector<uint8_t> MaskBytes(const Canvas& canvas)
{
    // Grey mask: the loader takes its red channel as the alpha.
    std::vector<uint8_t> rgba = canvas.ToRgba8();
    for (size_t i = 0; i < rgba.size(); i += 4)
        rgba[i] = rgba[i + 3];
    return rgba;
}

std::vector<uint8_t> OverBlack(const Canvas& canvas)
{
    // Colour under the mask; the JPEG keeps what alpha would hide anyway.
    Canvas flat(canvas.Width(), canvas.Height(), Color{0, 0, 0, 1});
    flat.Draw(canvas, 0, 0);
    return flat.ToRgba8();
}

} // namespace

AssetWriter::AssetWriter(std::string root) : mRoot(std::move(root)) {}

std::string AssetWriter::PathOf(const std::string& fileName) const
{
    std::string relative = fileName;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return mRoot + "/" + relative;
}

std::string AssetWriter::Prepare(const std::string& fileName)
{
    std::string path = PathOf(fileName);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ++mFileCount;
    return path;
}

void AssetWriter::SaveImage(const std::string& name, const Canvas& canvas, ImageFormat format)
{
    int w = canvas.Width(), h = canvas.Height();
    switch (format) {
    case ImageFormat::Png:
        PngWriter::Write(Prepare(name + ".png"), w, h, canvas.ToRgba8(),
                         canvas.IsOpaque() ? PngWriter::Layout::Rgb : PngWriter::Layout::Rgba);
        break;
    case ImageFormat::Jpeg:
        JpegWriter::Write(Prepare(name + ".jpg"), w, h, OverBlack(canvas), kJpegQuality);
        break;
    case ImageFormat::JpegWithMask:
        JpegWriter::Write(Prepare(name + ".jpg"), w, h, OverBlack(canvas), kJpegQuality);
        PngWriter::Write(Prepare(name + "_alpha.png"), w, h, MaskBytes(canvas), PngWriter::Layout::Gray);
        break;
    case ImageFormat::Gif:
        SaveBytes(name + ".gif", GifWriter::Encode(w, h, canvas.ToRgba8()));
        break;
    }
    float scale = std::min(1.0f, float(kThumbnailSize) / float(std::max(w, h)));
    Thumbnail t{name, w, h, Canvas(std::max(1, int(w * scale)), std::max(1, int(h * scale)))};
    t.picture.Draw(canvas, 0, 0, scale);
    mThumbnails.push_back(std::move(t));
}

void AssetWriter::SaveText(const std::string& fileName, const std::string& text)
{
    SaveBytes(fileName, std::vector<uint8_t>(text.begin(), text.end()));
}

void AssetWriter::SaveBytes(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    std::string path = Prepare(fileName);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void AssetWriter::SaveSound(const std::string& name, const std::vector<float>& samples, int rate, bool ogg)
{
    if (ogg)
        OggWriter::Write(Prepare(name + ".ogg"), samples, rate, mOggSerial++);
    else
        SaveBytes(name + ".wav", WavWriter::Encode(samples, rate));
}

} // namespace AssetGen
