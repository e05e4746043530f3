#pragma once

#include "app/Rect.h"
#include "platform/Display.h"

#include <cstdint>

class Image;

// Image pixels on a surface of their own, or in a rectangle of the shared
// atlas. Surfaces made here are 32-bit ARGB; those from the display or an
// atlas may be 16 or 24 bits, and uploads handle all three.
class Texture
{
  public:
    Texture();
    explicit Texture(Image& image);
    Texture(Image& image, const Rect& source);
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    virtual ~Texture();
    virtual void Release();

    void SetSize(int width, int height);
    void Create(int width, int height, bool plain);
    void Upload(Image& image, const Rect& source, bool keep);
    void Reload(Image& image, bool keep);
    Rect MapToAtlas(const Rect& fractions) const;
    Rect GetTexelRect(const Rect& fractions, bool inset) const;
    // The alpha bytes of the part of the surface the fractions (left, top,
    // right, bottom) cover; the caller frees the array with delete[].
    uint8_t* ReadAlpha(const Rect& fractions, int& width, int& height);
    void MoveToSystemMemory();

    Platform::Surface* GetSurface() const { return mSurface; }

  private:
    void MakeSurface();
    void CopyPixels(const Image& image, int x0, int y0, int columns, int rows, uint8_t* destination,
                    int originX, int pitch);
    void ExtendIntoNeighbourPadding(uint8_t* pixels, int pitch, int originX, int originY, int columns, int rows);

  public:
    Platform::Surface* mSurface = nullptr; // owned unless mInAtlas
    Platform::SurfaceDesc mDesc;
    uint8_t mHasAlpha = 0;
    int mWidth = 0;
    int mHeight = 0;
    int mAddressMode = 1; // wrap
    uint8_t mInAtlas = 0;
    Rect mUV{0, 0, 1, 1}; // left, top, right, bottom
};
