#pragma once

#include "platform/Display.h"
#include "platform/FrameChanges.h"

#include <cstdint>
#include <vector>

namespace Platform {

// Copies a software frame (XRGB8888, RGB565 or RGB555) row by row into
// memory laid out as XRGB8888, as the window and the streaming texture are,
// so that showing a 16-bit frame costs one pass over it. Each 5- or 6-bit
// field widens to its nearest 8-bit value, as DecodePixel gives (and as a
// graphics card shows it). The target's fourth byte is 0.
void CopyFrameToXrgb(const Surface& frame, uint8_t* target, int targetPitch);
// The same for the pixels that changed since the frame before it; the
// target holds that frame.
void CopyChangesToXrgb(const Surface& frame, const FrameChanges& changes, uint8_t* target, int targetPitch);

// Widens a software frame as CopyFrameToXrgb does and scales it bilinearly
// to width x height XRGB8888 words in the same pass, sampling and rounding
// exactly as SDL_SoftStretchLinear does: a letterboxed frame on the window's
// surface looks as it does through SDL's software renderer, without a
// widened copy of the whole frame first. Keeps its row buffers between
// frames.
class FrameStretch
{
  public:
    // Rewrites the output pixels that blend any of the frame's changes (the
    // target holds the frame before); gives the columns written in each
    // output row.
    const std::vector<RowSpan>& Run(const Surface& frame, const FrameChanges& changes, uint8_t* target,
                                    int targetPitch, int width, int height);

  private:
    // One output column or row: the first of the two source pixels it blends
    // and the second's weight, out of 128.
    struct Tap
    {
        int index;
        int weight;
    };
    // An output column: where its pair of source pixels is among the
    // blended pairs, and their weights, the second's in the high half.
    struct Column
    {
        int offset;
        uint32_t weights;
    };
    static void PlaceTaps(int sourceSize, int targetSize, std::vector<Tap>& taps);
    // Row y of the frame as XRGB8888, widened once per frame; keep is the
    // row a widened copy of which must stay.
    const uint8_t* WidenedRow(const Surface& frame, int y, int keep);
    // Blends two rows' pixels and pairs each in `pairs` with the one after
    // it (past the last pixel, the last pixel again).
    void BlendRows(const uint8_t* top, const uint8_t* bottom, int weight, RowSpan pairs, int width);
    void BlendColumns(uint8_t* targetRow, RowSpan columns) const;
    // The output columns that blend any of the given source pixels.
    RowSpan ColumnsReading(RowSpan pixels) const;

    std::vector<Tap> mTaps;
    std::vector<Column> mColumns;
    std::vector<Tap> mRows;
    std::vector<uint32_t> mWidened[2]; // two 16-bit source rows, widened
    int mWidenedY[2] = {-1, -1};
    std::vector<uint16_t> mBlended; // the two rows blended: 4 channels per pixel, scaled by 128
    std::vector<uint16_t> mPairs;   // per pixel, its channels and its right neighbour's, interleaved
    std::vector<RowSpan> mWritten;
};

} // namespace Platform
