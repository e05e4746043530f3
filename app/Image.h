#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A 32-bit picture with straight alpha: mWidth x mHeight pixels, row-major
// from the top row, each 0xAARRGGBB (bytes B, G, R, A in memory). Empty
// images have width and height -1 and no pixels.
class Image
{
  public:
    Image();
    Image(const Image& other);
    // Loads by base name (see Load).
    explicit Image(const char* baseName, const char* alphaName = nullptr);
    Image& operator=(const Image&) = delete;
    virtual ~Image();

    void Free();
    // Null outside the image.
    uint32_t* GetPixelPtr(int x, int y);
    const uint32_t* GetPixelPtr(int x, int y) const;
    bool HasPixels() const { return mPixels != nullptr; }

    // Becomes a w x h copy of that area of source, extra data included. The
    // part of the area outside the source reads as transparent black, so a
    // careless rectangle never reads past the source's pixels.
    void CopyRect(const Image& source, int x, int y, int w, int h);
    void Create(int w, int h, bool clear);
    // Separable area-average (shrinking) or linear (growing) resample; with
    // dest the result goes there and this image stays as it is.
    void Resample(int newWidth, int newHeight, Image* dest = nullptr);

    // Loading by base name: ".cached", ".gif", ".jpg", ".png", ".shortcut"
    // redirects, "_alpha" masks and the folder's "__notfound.shortcut". A
    // missing image ends the program with "Image Load Error".
    void Load(const char* baseName, const char* alphaName = nullptr);
    void LoadCached(const char* path);
    void LoadGIF(const char* path);
    void LoadJPEG(const char* path);
    void LoadPNG(const char* path);
    void ApplyAlphaMaskFile(const char* maskName);
    void ApplyAlphaMask(const Image& mask);

    // The decoders behind the Load* readers, on bytes already in memory.
    // Each leaves the image empty when the data is damaged.
    void DecodeCached(const uint8_t* data, size_t size);
    void DecodePNG(const uint8_t* data, size_t size);
    void DecodeJPEG(const uint8_t* data, size_t size);
    void DecodeGIF(const uint8_t* data, size_t size);

    // Takes over pixels allocated with new[] for a w x h image.
    void AdoptPixels(uint32_t* pixels, int w, int h);
    void SetExtra(const uint8_t* data, int size);

    // A decoder refuses pictures beyond these sizes (a hostile header must
    // not make us allocate gigabytes).
    static constexpr int kMaxSide = 16384;
    static constexpr int64_t kMaxPixels = int64_t(1) << 26;
    static bool IsSizeAcceptable(int64_t w, int64_t h);

    int mWidth = -1;
    int mHeight = -1;
    uint32_t* mPixels = nullptr;
    uint8_t* mExtra = nullptr;
    int mExtraSize = 0;

  private:
    void LoadFollowing(const char* baseName, const char* alphaName, int depth);
    bool ProbeFormats(const char* baseName, bool maskOrder = false);
    bool FollowShortcut(const char* baseName, int depth);
    bool FollowNotFoundShortcut(const char* baseName, int depth);
    bool LoadRedirected(const char* baseName, const std::string& folderText, int depth);
    void ReportMissing(const char* baseName);
    void MakeOpaqueWhite();
};

// Joins a folder (ending in a separator) and a relative path with its ".."
// segments resolved; false when the result would not fit maxLength.
bool NormalizePath(const char* base, const char* relative, char* out, size_t outSize);
