#include "app/compatibility/SpanBlitter.h"

#include "support/ReferenceRasterizer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace Compatibility;

namespace {

constexpr TargetFormat kFormats[] = {TargetFormat::ARGB8888, TargetFormat::RGB565, TargetFormat::RGB555};
constexpr uint32_t kSpanIndexes[] = {8, 9, 12, 13, 24, 25, 28, 29, 40, 41, 44, 45, 56, 57, 60, 61};

// Runs one member on a single pixel and returns the destination afterwards.
uint32_t One(TargetFormat format, uint32_t index, uint32_t source, uint32_t destination,
             RasterColor modulation = {255, 255, 255, 255}, RasterColor fill = {0, 255, 255, 255})
{
    SpanBlitter blit = (*SpanBlitters(format))[index];
    if (format == TargetFormat::ARGB8888) {
        blit(&destination, &source, 1, &modulation, &fill);
        return destination;
    }
    uint16_t d = static_cast<uint16_t>(destination);
    blit(&d, &source, 1, &modulation, &fill);
    return d;
}

uint32_t Fields565(uint32_t r, uint32_t g, uint32_t b)
{
    return (r << 11) | (g << 5) | b;
}

} // namespace

TEST(SpanBlitter, EveryMemberMatchesTheReferenceOnRandomSpans)
{
    std::mt19937 random(4321);
    const uint32_t alphas[] = {0, 8, 9, 100, 128, 239, 240, 241, 255};
    const uint32_t edges[] = {0, 1, 128, 239, 240, 241, 254, 255};
    for (TargetFormat format : kFormats) {
        const int bytes = format == TargetFormat::ARGB8888 ? 4 : 2;
        for (uint32_t index : kSpanIndexes) {
            SpanBlitter blit = (*SpanBlitters(format))[index];
            ASSERT_NE(blit, nullptr);
            for (int round = 0; round < 200; ++round) {
                const int count = static_cast<int>(random() % 70);
                std::vector<uint32_t> source(count + 1);
                // Half the spans come in stretches of one alpha, as sprite rows do.
                const bool banded = round % 2 != 0;
                uint32_t bandAlpha = 0;
                for (size_t i = 0; i < source.size(); ++i) {
                    if (!banded || i % 13 == 0) {
                        bandAlpha = alphas[random() % 9];
                    }
                    source[i] = (random() & 0xFFFFFF) | (bandAlpha << 24);
                }
                // A guard pixel after the span must stay as it was.
                std::vector<uint8_t> ours((count + 1) * bytes);
                for (uint8_t& b : ours) {
                    b = static_cast<uint8_t>(random());
                }
                std::vector<uint8_t> theirs = ours;
                auto pick = [&]() {
                    return random() % 2 ? edges[random() % 8] : static_cast<uint32_t>(random() % 256);
                };
                RasterColor modulation{pick(), pick(), pick(), pick()};
                RasterColor fill{static_cast<uint32_t>(random()), pick(), pick(), pick()};
                const std::vector<uint32_t> sourceBefore = source;
                blit(ours.data(), source.data(), count, &modulation, &fill);
                Reference::DrawSpan(format, index, theirs.data(), source.data(), count, modulation, fill);
                ASSERT_EQ(ours, theirs) << SpanBlitterName(format, index) << " round " << round;
                ASSERT_EQ(source, sourceBefore);
            }
        }
    }
}

TEST(SpanBlitter, TablesHoldExactlyTheSixteenModesPerFormat)
{
    EXPECT_EQ(SpanBlitters(TargetFormat::None), nullptr);
    for (TargetFormat format : kFormats) {
        int members = 0;
        for (uint32_t index = 0; index < 64; ++index) {
            members += (*SpanBlitters(format))[index] != nullptr;
        }
        EXPECT_EQ(members, 16);
    }
    EXPECT_EQ(SpanBlitterName(TargetFormat::RGB565, 13), "Span_RGB565_AlphaModulate");
    EXPECT_EQ(SpanBlitterName(TargetFormat::ARGB8888, 8), "Span_ARGB8888_Copy");
    EXPECT_EQ(SpanBlitterName(TargetFormat::RGB555, 61), "Span_RGB555_AdditiveColorFillAlphaModulate");
}

TEST(SpanBlitter, CountsBelowOneTouchNothing)
{
    for (TargetFormat format : kFormats) {
        for (uint32_t index : kSpanIndexes) {
            uint32_t destination = 0x12345678;
            RasterColor colour{255, 255, 255, 255};
            (*SpanBlitters(format))[index](&destination, nullptr, 0, &colour, &colour);
            (*SpanBlitters(format))[index](&destination, nullptr, -5, &colour, &colour);
            EXPECT_EQ(destination, 0x12345678u);
        }
    }
}

TEST(SpanBlitter, AlphaBoundsAndKnownBlends)
{
    // Alpha 8 leaves the destination, 240 stores the source with its alpha byte, 239 blends.
    EXPECT_EQ(One(TargetFormat::ARGB8888, 12, 0x08FFFFFF, 0x00123456), 0x00123456u);
    EXPECT_EQ(One(TargetFormat::ARGB8888, 12, 0xF0ABCDEF, 0x00123456), 0xF0ABCDEFu);
    EXPECT_EQ(One(TargetFormat::ARGB8888, 12, 0xEF000000, 0x00FFFFFF) >> 24, 0u);
    // Red 255 at alpha 128 over blue 255.
    EXPECT_EQ(One(TargetFormat::ARGB8888, 12, 0x80FF0000, 0x000000FF), 0x007F007Eu);
    EXPECT_EQ(One(TargetFormat::RGB565, 12, 0x80FF0000, 0x001F), Fields565(15, 0, 14));
    // With mA = 255: source alpha 241 is stored, 240 blends.
    EXPECT_EQ(One(TargetFormat::ARGB8888, 13, 0xF1FFFFFF, 0), 0x00FEFEFEu);
    EXPECT_NE(One(TargetFormat::ARGB8888, 13, 0xF0FFFFFF, 0), 0x00FEFEFEu);
    // mA = 0 still rewrites the destination.
    EXPECT_EQ(One(TargetFormat::RGB565, 13, 0xFFFFFFFF, 0xFFFF, {0, 255, 255, 255}), Fields565(30, 61, 30));
    // Black at alpha 100 over grey 128 adds the blend (77).
    EXPECT_EQ(One(TargetFormat::ARGB8888, 44, 0x64000000, 0x00808080), 0x00CDCDCDu);
    // Saturation per field.
    EXPECT_EQ(One(TargetFormat::ARGB8888, 40, 0x00202020, 0x00F0F0F0), 0x00FFFFFFu);
    EXPECT_EQ(One(TargetFormat::RGB565, 40, 0x00080000, Fields565(31, 3, 4)), Fields565(31, 3, 4));
}

TEST(SpanBlitter, ColourFillAndTheSixteenBitTopBit)
{
    // Colour fill stores the fill colour whatever the source alpha; 32-bit keeps the source's alpha byte.
    EXPECT_EQ(One(TargetFormat::ARGB8888, 24, 0x05123456, 0), 0x05FFFFFFu);
    EXPECT_EQ(One(TargetFormat::RGB565, 24, 0x00123456, 0), 0xFFFFu);
    EXPECT_EQ(One(TargetFormat::ARGB8888, 56, 0x00000000, 0x00010203), 0x00FFFFFFu);
    // RGB555 members never set bit 15.
    for (uint32_t index : kSpanIndexes) {
        EXPECT_EQ(One(TargetFormat::RGB555, index, 0x80FFFFFF, 0xFFFF) & 0x8000, 0u) << index;
    }
}
