#include "app/TextureMosaic.h"

#include "app/Graphics.h"
#include "app/Math.h"
#include "app/Rect.h"

#include <vector>

namespace {
// A power of two is a tile by itself when it wastes at most this many pixels.
constexpr int kWasteAllowed = 64;

int MaxTextureWidth()
{
    return static_cast<int>(theGraphics.mMaxTextureWidth);
}

Rect* Tile(List& tiles, int index)
{
    return static_cast<Rect*>(tiles.Get(index));
}

void RemoveTile(List& tiles, int index)
{
    delete Tile(tiles, index);
    tiles.RemoveAt(index);
}

int FitSide(int length, float maximum, bool pow2)
{
    if (length < static_cast<int>(maximum)) {
        return pow2 ? Math::NextPowerOfTwo(length) : TextureMosaic::TableEntry(length);
    }
    return static_cast<int>(maximum);
}
} // namespace

TextureMosaic::~TextureMosaic()
{
    Clear();
}

void TextureMosaic::Clear()
{
    for (int i = 0; i < mTiles.Count(); ++i) {
        delete Tile(mTiles, i);
    }
    mTiles.Clear();
}

// The table's rule, which holds for lengths past the table's 1024 entries too.
int TextureMosaic::TableEntry(int n)
{
    const int p = Math::NextPowerOfTwo(n);
    if (p - n <= kWasteAllowed) {
        return p;
    }
    int t = p / 2;
    while (t > 1 && n % t >= kWasteAllowed && !Math::IsPowerOfTwo(n % t)) {
        t /= 2;
    }
    return t;
}

void TextureMosaic::TileSize(int& width, int& height, bool pow2)
{
    width = FitSide(width, theGraphics.mMaxTextureWidth, pow2);
    height = FitSide(height, theGraphics.mMaxTextureHeight, pow2);
    width = std::max(width, static_cast<int>(theGraphics.mMinTextureWidth));
    height = std::max(height, static_cast<int>(theGraphics.mMinTextureHeight));
    const float aspect = theGraphics.mMaxTextureAspect;
    if (height < width) {
        while (height * aspect < width) {
            height *= 2;
        }
    } else if (width < height) {
        while (width * aspect < height) {
            width *= 2;
        }
    }
}

void TextureMosaic::Build(int w, int h)
{
    Clear();
    if (w <= 0 || h <= 0) {
        return;
    }
    int tw = w;
    int th = h;
    TileSize(tw, th, false);
    int rw = w % tw;
    int thr = th;
    if (rw > 0) {
        TileSize(rw, thr, true);
    } else {
        rw = tw;
    }
    int twb = tw;
    int rh = h % th;
    if (rh > 0) {
        TileSize(twb, rh, true);
    } else {
        rh = th;
    }
    int cw = rw;
    int ch = rh;
    TileSize(cw, ch, true);

    const int columns = (w + tw - 1) / tw;
    const int rows = (h + th - 1) / th;
    std::vector<Rect> cells(static_cast<size_t>(columns) * rows, Rect(0, 0, tw, th));
    for (int r = 0; r < rows; ++r) {
        cells[r * columns + columns - 1] = Rect(0, 0, rw, thr);
    }
    for (int c = 0; c < columns; ++c) {
        cells[(rows - 1) * columns + c] = Rect(0, 0, twb, rh);
    }
    cells.back() = Rect(0, 0, cw, ch);

    int x = 0;
    int y = 0;
    for (const Rect& cell : cells) {
        mTiles.Add(new Rect(x, y, cell.w, cell.h));
        x += static_cast<int>(cell.w);
        if (x >= w) {
            x = 0;
            y += static_cast<int>(cell.h);
        }
    }
    Merge();
}

void TextureMosaic::Merge()
{
    MergeAcross();
    MergeDown();
}

void TextureMosaic::MergeAcross()
{
    const float aspect = theGraphics.mMaxTextureAspect;
    int i = 0;
    while (i < mTiles.Count() - 1) {
        Rect* a = Tile(mTiles, i);
        const Rect* b = Tile(mTiles, i + 1);
        const int s = static_cast<int>(a->w + b->w);
        if (a->y == b->y && Math::IsPowerOfTwo(s) && s <= MaxTextureWidth() && a->h * aspect >= s) {
            a->w += b->w;
            RemoveTile(mTiles, i + 1);
        } else {
            ++i;
        }
    }
}

// Joins tiles of one column; as it always has, it takes any later tile of
// that column (not the list's last) and checks neither adjacency nor width.
void TextureMosaic::MergeDown()
{
    const float aspect = theGraphics.mMaxTextureAspect;
    int i = 0;
    while (i < mTiles.Count() - 1) {
        Rect* a = Tile(mTiles, i);
        bool merged = false;
        for (int j = i + 1; j <= mTiles.Count() - 2; ++j) {
            const Rect* b = Tile(mTiles, j);
            const int s = static_cast<int>(a->h + b->h);
            if (b->x == a->x && Math::IsPowerOfTwo(s) && s <= MaxTextureWidth() && a->w * aspect >= s) {
                a->h += b->h;
                RemoveTile(mTiles, j);
                merged = true;
                break;
            }
        }
        i = merged ? 0 : i + 1;
    }
}
