#include "app/Texture.h"

#include "app/AppLock.h"
#include "app/Graphics.h"
#include "app/Image.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
int Trunc(float value)
{
    return static_cast<int>(value);
}

struct ChannelScale
{
    uint32_t shift;
    float scale;
};

ChannelScale ScaleOf(uint32_t mask)
{
    const uint32_t shift = mask ? std::countr_zero(mask) : 0;
    return {shift, static_cast<float>(mask >> shift) / 255.0f};
}

uint32_t Pack16(uint32_t argb, const ChannelScale& r, const ChannelScale& g, const ChannelScale& b)
{
    const uint32_t red = static_cast<uint32_t>(Trunc(((argb >> 16) & 0xFF) * r.scale)) << r.shift;
    const uint32_t green = static_cast<uint32_t>(Trunc(((argb >> 8) & 0xFF) * g.scale)) << g.shift;
    const uint32_t blue = static_cast<uint32_t>(Trunc((argb & 0xFF) * b.scale)) << b.shift;
    return red | green | blue;
}
} // namespace

Texture::Texture() = default;

Texture::Texture(Image& image)
{
    SetSize(image.mWidth, image.mHeight);
    Reload(image, false);
}

Texture::Texture(Image& image, const Rect& source)
{
    SetSize(Trunc(source.w), Trunc(source.h));
    Upload(image, source, false);
}

Texture::~Texture()
{
    Release();
}

void Texture::Release()
{
    theGraphics.ForgetTexture(this);
    if (!mInAtlas) {
        delete mSurface;
    }
    mSurface = nullptr;
}

void Texture::SetSize(int width, int height)
{
    if (theGraphics.mActiveAtlas) {
        mWidth = width;
        mHeight = height;
        return;
    }
    Point size;
    theGraphics.GetTextureSize(size, width, height);
    mWidth = Trunc(size.x);
    mHeight = Trunc(size.y);
}

void Texture::Create(int width, int height, bool plain)
{
    if (plain) {
        mWidth = width;
        mHeight = height;
        Release();
        mInAtlas = 0;
        mSurface = theGraphics.CreateSurface(width, height, &mDesc);
        return;
    }
    SetSize(width, height);
    Release();
    mUV = Rect(0, 0, 1, 1);
    MakeSurface();
}

// An atlas place when an atlas is active and has room, else a surface of our own.
void Texture::MakeSurface()
{
    mInAtlas = 0;
    mSurface = theGraphics.AddToActiveAtlas(mWidth, mHeight, &mUV, &mDesc);
    if (mSurface) {
        mInAtlas = 1;
        mWidth = mDesc.width;
        mHeight = mDesc.height;
        return;
    }
    mSurface = theGraphics.CreateTexture(mWidth, mHeight, &mDesc);
}

void Texture::Upload(Image& image, const Rect& source, bool keep)
{
    int x0 = Trunc(source.x);
    int y0 = Trunc(source.y);
    int x1 = Trunc(source.x + source.w);
    int y1 = Trunc(source.y + source.h);
    if (!image.mPixels || x0 >= image.mWidth || y0 >= image.mHeight || x1 < 0 || y1 < 0) {
        return;
    }
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.mWidth - 1);
    y1 = std::min(y1, image.mHeight - 1);
    // The end column and row are included, as they always were.
    const int columns = std::min(x1 - x0 + 1, mWidth);
    const int rows = std::min(y1 - y0 + 1, mHeight);

    if ((!mSurface || mDesc.width != mWidth || mDesc.height != mHeight) && !keep) {
        Release();
        mUV = Rect(0, 0, 1, 1);
        MakeSurface();
    }
    if (!mSurface) {
        return;
    }
    // An atlas page is shared by the loader and the main thread.
    AppLock lock(mInAtlas != 0);
    int pitch = 0;
    uint8_t* pixels = mSurface->Lock(&pitch);
    if (!pixels) {
        return;
    }
    const int originX = mInAtlas ? Trunc(mSurface->GetWidth() * mUV.x) : 0;
    const int originY = mInAtlas ? Trunc(mSurface->GetHeight() * mUV.y) : 0;
    // Never past the surface, whatever the atlas place says.
    const int fitColumns = std::min(columns, mSurface->GetWidth() - originX);
    const int fitRows = std::min(rows, mSurface->GetHeight() - originY);
    if (fitColumns > 0 && fitRows > 0) {
        CopyPixels(image, x0, y0, fitColumns, fitRows, pixels + originY * pitch, originX, pitch);
        if (mInAtlas) {
            ExtendIntoNeighbourPadding(pixels, pitch, originX, originY, fitColumns, fitRows);
        }
    }
    mSurface->Unlock();
}

// Drawn 1:1 at whole pixels, the hardware renderer samples each texel half
// and half with the one left of it and above it: for the first column and
// row that is the padding an atlas keeps right of and below its neighbours.
// Blank there, it rimmed every image's left and top edge with a dark half
// line (the seams between tiles of the board frame); a copy of the edge
// keeps the edge its own colour.
void Texture::ExtendIntoNeighbourPadding(uint8_t* pixels, int pitch, int originX, int originY, int columns,
                                         int rows)
{
    const int bytes = mSurface->GetFormat().bitsPerPixel / 8;
    if (originX > 0) {
        for (int r = 0; r < rows; ++r) {
            uint8_t* row = pixels + (originY + r) * pitch;
            std::memcpy(row + (originX - 1) * bytes, row + originX * bytes, static_cast<size_t>(bytes));
        }
    }
    if (originY > 0) {
        const int left = originX > 0 ? originX - 1 : originX;
        const size_t span = static_cast<size_t>(originX + columns - left) * static_cast<size_t>(bytes);
        std::memcpy(pixels + (originY - 1) * pitch + left * bytes, pixels + originY * pitch + left * bytes, span);
    }
}

void Texture::CopyPixels(const Image& image, int x0, int y0, int columns, int rows, uint8_t* destination,
                         int originX, int pitch)
{
    const Platform::PixelFormat& format = mSurface->GetFormat();
    mHasAlpha = 0;
    for (int r = 0; r < rows; ++r) {
        const uint32_t* source = image.GetPixelPtr(x0, y0 + r);
        uint8_t* row = destination + r * pitch;
        switch (format.bitsPerPixel) {
        case 32:
            std::memcpy(row + originX * 4, source, static_cast<size_t>(columns) * 4);
            for (int c = 0; c < columns; ++c) {
                if ((source[c] >> 24) != 0xFF) {
                    mHasAlpha = 1;
                }
            }
            break;
        case 24:
            for (int c = 0; c < columns; ++c) {
                uint8_t* p = row + (originX + c) * 3;
                p[0] = (source[c] >> 16) & 0xFF;
                p[1] = (source[c] >> 8) & 0xFF;
                p[2] = source[c] & 0xFF;
            }
            break;
        case 16: {
            const ChannelScale red = ScaleOf(format.redMask);
            const ChannelScale green = ScaleOf(format.greenMask);
            const ChannelScale blue = ScaleOf(format.blueMask);
            for (int c = 0; c < columns; ++c) {
                const uint16_t value = static_cast<uint16_t>(Pack16(source[c], red, green, blue));
                std::memcpy(row + (originX + c) * 2, &value, 2);
            }
            break;
        }
        default:
            return;
        }
    }
}

void Texture::Reload(Image& image, bool keep)
{
    Upload(image, Rect(0, 0, static_cast<float>(image.mWidth), static_cast<float>(image.mHeight)), keep);
}

Rect Texture::MapToAtlas(const Rect& f) const
{
    if (!mInAtlas) {
        return f;
    }
    const float width = mUV.w - mUV.x;
    const float height = mUV.h - mUV.y;
    return Rect(mUV.x + f.x * width, mUV.y + f.y * height, mUV.x + f.w * width, mUV.y + f.h * height);
}

Rect Texture::GetTexelRect(const Rect& f, bool inset) const
{
    const float width = static_cast<float>(mWidth);
    const float height = static_cast<float>(mHeight);
    const bool software = theGraphics.mSoftware;
    auto snap = [software](float size, float fraction) {
        return static_cast<float>(software ? Trunc(size * fraction) : Trunc(size * fraction + 0.5f));
    };
    float left = snap(width, f.x);
    float top = snap(height, f.y);
    float right = snap(width, f.w);
    float bottom = snap(height, f.h);
    if (!software && inset) {
        left += 1.0f;
        top += 1.0f;
        right -= 1.5f;
        bottom -= 1.5f;
    }
    return Rect(left / width, top / height, right / width, bottom / height);
}

uint8_t* Texture::ReadAlpha(const Rect& f, int& width, int& height)
{
    width = 0;
    height = 0;
    if (!mSurface || mSurface->GetWidth() <= 0 || mSurface->GetHeight() <= 0) {
        return nullptr;
    }
    const int surfaceWidth = mSurface->GetWidth();
    const int surfaceHeight = mSurface->GetHeight();
    const int x0 = Trunc(surfaceWidth * f.x);
    const int x1 = Trunc(surfaceWidth * f.w);
    const int y0 = Trunc(surfaceHeight * f.y);
    const int y1 = Trunc(surfaceHeight * f.h);
    width = std::abs(x1 - x0) + 1;
    height = std::abs(y1 - y0) + 1;
    uint8_t* alpha = new uint8_t[static_cast<size_t>(width) * height];
    if (!mHasAlpha) {
        std::memset(alpha, 255, static_cast<size_t>(width) * height);
        return alpha;
    }
    // A right or bottom fraction of 1 names the column and row just past
    // the surface: reads stay on it.
    for (int r = 0; r < height; ++r) {
        const int y = std::clamp(y0 + r, 0, surfaceHeight - 1);
        for (int c = 0; c < width; ++c) {
            const int x = std::clamp(x0 + c, 0, surfaceWidth - 1);
            alpha[r * width + c] = static_cast<uint8_t>(mSurface->GetPixel(x, y) >> 24);
        }
    }
    return alpha;
}

void Texture::MoveToSystemMemory()
{
    if (!theGraphics.mSoftware || !mSurface) {
        return;
    }
    Platform::Surface* moved = theGraphics.CreateSurface(mWidth, mHeight, &mDesc);
    if (!moved) {
        return;
    }
    const int columns = std::min(mWidth, mSurface->GetWidth());
    const int rows = std::min(mHeight, mSurface->GetHeight());
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            moved->SetPixel(x, y, mSurface->GetPixel(x, y));
        }
    }
    moved->MarkChanged();
    Release();
    mInAtlas = 0;
    mSurface = moved;
}
