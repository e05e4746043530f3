#pragma once

#include "app/List.h"

// The tile layout of an image larger than one texture: where each tile
// starts in the image and the power-of-two size of its texture. Tiles on the
// right and bottom edges may reach past the image.
class TextureMosaic
{
  public:
    TextureMosaic() = default;
    TextureMosaic(const TextureMosaic&) = delete;
    TextureMosaic& operator=(const TextureMosaic&) = delete;
    virtual ~TextureMosaic();

    void Build(int width, int height);
    // Width and height of a tile for that length: the smallest power of two
    // in power-of-two mode, else the table's choice, within the device limits.
    static void TileSize(int& width, int& height, bool pow2);
    // The table's tile length for a side of n pixels, for any n >= 0.
    static int TableEntry(int n);

    List mTiles; // heap Rect: x, y in the image, w, h of the texture, row-major

  private:
    void Clear();
    void Merge();
    void MergeAcross();
    void MergeDown();
};
