#include "platform/FrameCopy.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Platform {

namespace {

// The 16-bit layouts: red above green above 5 bits of blue. A field of n
// bits widens to (field * 255 + max / 2) / max, max = 2^n - 1; the division
// is a product with a rounded-up reciprocal, exact for every field value.
template <int RedShift, int GreenBits> struct Layout16
{
    static constexpr uint32_t kGreenMax = (1u << GreenBits) - 1;
    // x / 31 = (x * 16913) >> 19 and x / 63 = (x * 16645) >> 20 for the x here.
    static constexpr uint32_t kGreenFactor = GreenBits == 6 ? 16645 : 16913;
    static constexpr int kGreenShift = GreenBits == 6 ? 4 : 3;

    static uint32_t Widen(uint32_t p)
    {
        auto widen = [](uint32_t field, uint32_t max) { return (field * 255 + max / 2) / max; };
        return widen((p >> RedShift) & 31, 31) << 16 | widen((p >> 5) & kGreenMax, kGreenMax) << 8 |
               widen(p & 31, 31);
    }

#if defined(__SSE2__)
    static __m128i WidenField(__m128i field, uint32_t max, uint32_t factor, int shift)
    {
        const __m128i x = _mm_add_epi16(_mm_mullo_epi16(field, _mm_set1_epi16(255)),
                                        _mm_set1_epi16(static_cast<short>(max / 2)));
        return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(static_cast<short>(factor))), shift);
    }

    // Eight pixels into eight target words.
    static void Widen8(const uint8_t* source, uint8_t* target)
    {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
        const __m128i five = _mm_set1_epi16(31);
        const __m128i red = WidenField(_mm_and_si128(_mm_srli_epi16(p, RedShift), five), 31, 16913, 3);
        const __m128i green =
            WidenField(_mm_and_si128(_mm_srli_epi16(p, 5), _mm_set1_epi16(static_cast<short>(kGreenMax))),
                       kGreenMax, kGreenFactor, kGreenShift);
        const __m128i blue = WidenField(_mm_and_si128(p, five), 31, 16913, 3);
        // Lanes of blue | green << 8 and of red: interleaved they are the words.
        const __m128i low = _mm_or_si128(blue, _mm_slli_epi16(green, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_unpacklo_epi16(low, red));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 16), _mm_unpackhi_epi16(low, red));
    }
#endif

    static void Row(const uint8_t* sourceRow, uint8_t* targetRow, int width)
    {
        int x = 0;
#if defined(__SSE2__)
        for (; x + 8 <= width; x += 8) {
            Widen8(sourceRow + x * 2, targetRow + x * 4);
        }
#endif
        for (; x < width; ++x) {
            uint16_t p;
            std::memcpy(&p, sourceRow + x * 2, 2);
            const uint32_t word = Widen(p);
            std::memcpy(targetRow + x * 4, &word, 4);
        }
    }
};

using WidenRow = void (*)(const uint8_t*, uint8_t*, int);

// The pass widening a row of the frame's format; none for XRGB8888.
WidenRow WidenerFor(const PixelFormat& format)
{
    if (format == PixelFormat::RGB565()) {
        return Layout16<11, 6>::Row;
    }
    if (format == PixelFormat::RGB555()) {
        return Layout16<10, 5>::Row;
    }
    return nullptr;
}

#if defined(__SSE2__)
// One output pixel from a pair of blended source pixels, their channels
// interleaved (each scaled by 128): weighted by 128 again, in four 32-bit
// lanes.
__m128i BlendPair(const uint16_t* pair, uint32_t weights)
{
    const __m128i channels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair));
    return _mm_srli_epi32(_mm_madd_epi16(channels, _mm_set1_epi32(static_cast<int>(weights))), 14);
}
#endif

} // namespace

namespace {

void CopySpan(WidenRow widen, const Surface& frame, int y, RowSpan span, uint8_t* targetRow)
{
    const int pixelBytes = frame.GetFormat().BytesPerPixel();
    const uint8_t* from = frame.GetRow(y) + span.begin * pixelBytes;
    uint8_t* to = targetRow + span.begin * 4;
    if (widen) {
        widen(from, to, span.end - span.begin);
    } else {
        std::memcpy(to, from, static_cast<size_t>(span.end - span.begin) * 4);
    }
}

} // namespace

void CopyFrameToXrgb(const Surface& frame, uint8_t* target, int targetPitch)
{
    const WidenRow widen = WidenerFor(frame.GetFormat());
    for (int y = 0; y < frame.GetHeight(); ++y) {
        CopySpan(widen, frame, y, {0, frame.GetWidth()}, target + static_cast<size_t>(y) * targetPitch);
    }
}

void CopyChangesToXrgb(const Surface& frame, const FrameChanges& changes, uint8_t* target, int targetPitch)
{
    const WidenRow widen = WidenerFor(frame.GetFormat());
    for (int y = 0; y < frame.GetHeight(); ++y) {
        if (!changes.Row(y).Empty()) {
            CopySpan(widen, frame, y, changes.Row(y), target + static_cast<size_t>(y) * targetPitch);
        }
    }
}

void FrameStretch::PlaceTaps(int sourceSize, int targetSize, std::vector<Tap>& taps)
{
    // In 16.16 fixed point: the step between output pixel centres in the
    // source, and the first centre (rounded as SDL rounds it) less half a
    // pixel. Outputs before the first source centre or past the last take
    // the edge pixel.
    const int step = (sourceSize << 16) / targetSize;
    const int first = static_cast<int>((static_cast<int64_t>(step) * 0x8000 + 0x8000) >> 16) - 0x8000;
    const int last = std::max(sourceSize - 2, 0);
    taps.resize(static_cast<size_t>(targetSize));
    for (int i = 0; i < targetSize; ++i) {
        const int at = first + i * step;
        if (at < 0) {
            taps[i] = {0, 0};
        } else if ((at >> 16) > sourceSize - 2) {
            taps[i] = {last, 128};
        } else {
            taps[i] = {at >> 16, (at >> 9) & 127};
        }
    }
}

const uint8_t* FrameStretch::WidenedRow(const Surface& frame, int y, int keep)
{
    const WidenRow widen = WidenerFor(frame.GetFormat());
    if (!widen) {
        return frame.GetRow(y);
    }
    for (int slot = 0; slot < 2; ++slot) {
        if (mWidenedY[slot] == y) {
            return reinterpret_cast<const uint8_t*>(mWidened[slot].data());
        }
    }
    const int slot = mWidenedY[0] == keep ? 1 : 0;
    mWidened[slot].resize(static_cast<size_t>(frame.GetWidth()));
    uint8_t* row = reinterpret_cast<uint8_t*>(mWidened[slot].data());
    widen(frame.GetRow(y), row, frame.GetWidth());
    mWidenedY[slot] = y;
    return row;
}

void FrameStretch::BlendRows(const uint8_t* top, const uint8_t* bottom, int weight, RowSpan pairs, int width)
{
    mBlended.resize(static_cast<size_t>(width + 1) * 4);
    uint16_t* out = mBlended.data();
    const int end = std::min(pairs.end + 1, width);
    int x = pairs.begin;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i topWeight = _mm_set1_epi16(static_cast<short>(128 - weight));
    const __m128i bottomWeight = _mm_set1_epi16(static_cast<short>(weight));
    for (; x + 4 <= end; x += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + x * 4));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + x * 4));
        const __m128i low = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), topWeight),
                                          _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), bottomWeight));
        const __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), topWeight),
                                           _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), bottomWeight));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4 + 8), high);
    }
#endif
    for (; x < end; ++x) {
        for (int c = 0; c < 4; ++c) {
            out[x * 4 + c] =
                static_cast<uint16_t>(top[x * 4 + c] * (128 - weight) + bottom[x * 4 + c] * weight);
        }
    }
    // A one-pixel-wide frame blends its only pixel with itself.
    if (pairs.end >= width) {
        std::copy_n(out + (width - 1) * 4, 4, out + width * 4);
    }
    // Each pixel's channels beside its right neighbour's, once per row
    // rather than once per output pixel.
    mPairs.resize(static_cast<size_t>(width) * 8);
    uint16_t* paired = mPairs.data();
    x = pairs.begin;
#if defined(__SSE2__)
    for (; x < pairs.end; ++x) {
        const __m128i here = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(out + x * 4));
        const __m128i next = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(out + x * 4 + 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(paired + x * 8), _mm_unpacklo_epi16(here, next));
    }
#endif
    for (; x < pairs.end; ++x) {
        for (int c = 0; c < 4; ++c) {
            paired[x * 8 + c * 2] = out[x * 4 + c];
            paired[x * 8 + c * 2 + 1] = out[x * 4 + 4 + c];
        }
    }
}

void FrameStretch::BlendColumns(uint8_t* targetRow, RowSpan columns) const
{
    const uint16_t* pairs = mPairs.data();
    int x = columns.begin;
#if defined(__SSE2__)
    auto pixel = [&](int at) { return BlendPair(pairs + mColumns[at].offset, mColumns[at].weights); };
    for (; x + 4 <= columns.end; x += 4) {
        const __m128i low = _mm_packs_epi32(pixel(x), pixel(x + 1));
        const __m128i high = _mm_packs_epi32(pixel(x + 2), pixel(x + 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(targetRow + x * 4), _mm_packus_epi16(low, high));
    }
    for (; x < columns.end; ++x) {
        const __m128i one = _mm_packs_epi32(pixel(x), pixel(x));
        const uint32_t word = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(one, one)));
        std::memcpy(targetRow + x * 4, &word, 4);
    }
#else
    for (; x < columns.end; ++x) {
        const uint16_t* pair = pairs + mColumns[x].offset;
        const uint32_t weights = mColumns[x].weights;
        for (int c = 0; c < 4; ++c) {
            targetRow[x * 4 + c] = static_cast<uint8_t>(
                (pair[c * 2] * (weights & 0xFFFF) + pair[c * 2 + 1] * (weights >> 16)) >> 14);
        }
    }
#endif
}

RowSpan FrameStretch::ColumnsReading(RowSpan pixels) const
{
    if (pixels.Empty()) {
        return {};
    }
    // Column c blends pixel mTaps[c].index with the one after it; the
    // indices only grow from column to column.
    auto before = [](const Tap& tap, int index) { return tap.index < index; };
    const auto first = std::lower_bound(mTaps.begin(), mTaps.end(), pixels.begin - 1, before);
    const auto end = std::lower_bound(first, mTaps.end(), pixels.end, before);
    return {static_cast<int>(first - mTaps.begin()), static_cast<int>(end - mTaps.begin())};
}

const std::vector<RowSpan>& FrameStretch::Run(const Surface& frame, const FrameChanges& changes, uint8_t* target,
                                              int targetPitch, int width, int height)
{
    PlaceTaps(frame.GetWidth(), width, mTaps);
    mColumns.resize(mTaps.size());
    std::transform(mTaps.begin(), mTaps.end(), mColumns.begin(), [](Tap tap) {
        return Column{tap.index * 8,
                      static_cast<uint32_t>(128 - tap.weight) | static_cast<uint32_t>(tap.weight) << 16};
    });
    PlaceTaps(frame.GetHeight(), height, mRows);
    mWidenedY[0] = mWidenedY[1] = -1;
    mWritten.assign(static_cast<size_t>(height), RowSpan{});
    const int lastRow = frame.GetHeight() - 1;
    for (int y = 0; y < height; ++y) {
        const Tap row = mRows[y];
        const int below = std::min(row.index + 1, lastRow);
        const RowSpan columns = ColumnsReading(changes.Row(row.index).Union(changes.Row(below)));
        if (columns.Empty()) {
            continue;
        }
        const uint8_t* top = WidenedRow(frame, row.index, -1);
        const uint8_t* bottom = WidenedRow(frame, below, row.index);
        BlendRows(top, bottom, row.weight, {mTaps[columns.begin].index, mTaps[columns.end - 1].index + 1},
                  frame.GetWidth());
        BlendColumns(target + static_cast<size_t>(y) * targetPitch, columns);
        mWritten[y] = columns;
    }
    return mWritten;
}

} // namespace Platform
