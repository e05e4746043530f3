#pragma once

#include "platform/Display.h"

#include <cstdint>
#include <vector>

namespace Platform {

// A run of pixels in one row, [begin, end); empty when begin == end.
struct RowSpan
{
    int begin = 0;
    int end = 0;

    bool Empty() const { return begin >= end; }
    RowSpan Union(const RowSpan& other) const;
};

// Which pixels of a software frame changed since the frame before it, row
// by row. Showing a frame then rewrites, and hands the window, only those:
// most frames of a menu or of a board keep most of their pixels, and
// widening or scaling a whole frame costs more than drawing it.
class FrameChanges
{
  public:
    // Compares the frame with the last one taken and keeps a copy of it.
    // All of it counts as changed when it is the first, when its size or
    // layout differ from the last, or after Forget().
    void Take(const Surface& frame);
    // The next frame counts as changed all over: what it is shown on no
    // longer holds the last one.
    void Forget() { mKnown = false; }

    const RowSpan& Row(int y) const { return mRows[static_cast<size_t>(y)]; }
    const std::vector<RowSpan>& Rows() const { return mRows; }

  private:
    std::vector<uint8_t> mLast; // the last frame, rows packed
    int mWidth = 0;
    PixelFormat mFormat;
    bool mKnown = false;
    std::vector<RowSpan> mRows;
};

} // namespace Platform
