#include "platform/FrameCopy.h"

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

} // namespace

void CopyFrameToXrgb(const Surface& frame, uint8_t* target, int targetPitch)
{
    const PixelFormat& format = frame.GetFormat();
    void (*row)(const uint8_t*, uint8_t*, int) = nullptr;
    if (format == PixelFormat::RGB565()) {
        row = Layout16<11, 6>::Row;
    } else if (format == PixelFormat::RGB555()) {
        row = Layout16<10, 5>::Row;
    }
    const int width = frame.GetWidth();
    for (int y = 0; y < frame.GetHeight(); ++y) {
        uint8_t* targetRow = target + static_cast<size_t>(y) * targetPitch;
        if (row) {
            row(frame.GetRow(y), targetRow, width);
        } else {
            std::memcpy(targetRow, frame.GetRow(y), static_cast<size_t>(width) * 4);
        }
    }
}

} // namespace Platform
