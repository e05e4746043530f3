#include "app/compatibility/PixelFormats.h"

#include "support/ReferenceRasterizer.h"

#include <gtest/gtest.h>

using namespace Compatibility;

namespace {

// The same 8-bit value in all three colour channels, with an alpha byte that must not leak.
uint32_t Grey(uint32_t c, uint32_t alpha = 0xA5)
{
    return (alpha << 24) | (c << 16) | (c << 8) | c;
}

uint32_t Mix(uint32_t r, uint32_t g, uint32_t b)
{
    return (r << 16) | (g << 8) | b;
}

} // namespace

TEST(PixelFormats, TwoLaneBlendAndWeightMatchPerChannelArithmeticForEveryValue)
{
    for (uint32_t w = 0; w < 256; ++w) {
        for (uint32_t s = 0; s < 256; ++s) {
            ASSERT_EQ(Pixels::Weighted(Grey(s), w), Reference::Weighted32(Grey(s), w)) << s << " " << w;
            for (uint32_t d = 0; d < 256; ++d) {
                // Different values per channel so a carry between lanes would show.
                uint32_t src = Mix(s, 255 - s, s ^ 0x5A) | 0xFF000000;
                uint32_t dst = Mix(d, d ^ 0xC3, 255 - d) | 0x7F000000;
                ASSERT_EQ(Pixels::Blend(src, dst, w), Reference::Blend32(src, dst, w))
                    << s << " " << d << " " << w;
            }
        }
    }
}

TEST(PixelFormats, ModulateAndSaturatingAddMatchPerChannelArithmeticForEveryValue)
{
    for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t b = 0; b < 256; ++b) {
            uint32_t s = Mix(a, 255 - a, a ^ 0x33) | 0xFF000000;
            ASSERT_EQ(Pixels::Modulate(s, b, 255 - b, b ^ 0x99),
                      Reference::Modulate32(s, b, 255 - b, b ^ 0x99));
            uint32_t d = Mix(b, 255 - b, b ^ 0x99) | 0x12000000;
            ASSERT_EQ(Pixels::AddSat(d, s), Reference::AddSat32(d, s));
        }
    }
}

TEST(PixelFormats, PackingKeepsTheTopBitsOfEveryChannel)
{
    for (uint32_t c = 0; c < (1u << 24); c += 7) {
        uint32_t argb = c | 0xC0000000;
        ASSERT_EQ(Pixels::RGB565::Pack(argb), Reference::Pack16(TargetFormat::RGB565, argb));
        ASSERT_EQ(Pixels::RGB555::Pack(argb), Reference::Pack16(TargetFormat::RGB555, argb));
    }
    EXPECT_EQ(Pixels::RGB565::Pack(0xFFFFFFFF), 0xFFFF);
    EXPECT_EQ(Pixels::RGB555::Pack(0xFFFFFFFF), 0x7FFF);
    EXPECT_EQ(Pixels::RGB565::Pack(Mix(200, 100, 50)), (25u << 11) | (25u << 5) | 6u);
    EXPECT_EQ(Pixels::RGB555::Pack(Mix(200, 100, 50)), (25u << 10) | (12u << 5) | 6u);
}

TEST(PixelFormats, SixteenBitBlendMatchesThePerFieldFormulaForEveryValue)
{
    for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t c = 0; c < 256; ++c) {
            for (uint32_t f = 0; f < 64; ++f) {
                uint32_t src = Mix(c, 255 - c, c ^ 0x6C) | 0x80000000;
                uint32_t f5 = f & 31;
                uint16_t d565 = static_cast<uint16_t>((f5 << 11) | (f << 5) | (31 - f5));
                uint16_t d555 = static_cast<uint16_t>(0x8000 | (f5 << 10) | ((31 - f5) << 5) | f5);
                ASSERT_EQ(Pixels::RGB565::Blend(src, d565, a),
                          Reference::Blend16(TargetFormat::RGB565, src, a, d565));
                ASSERT_EQ(Pixels::RGB555::Blend(src, d555, a),
                          Reference::Blend16(TargetFormat::RGB555, src, a, d555));
            }
        }
    }
}

TEST(PixelFormats, SixteenBitSaturatingAddClampsEachFieldAlone)
{
    for (uint32_t d = 0; d < 0x10000; d += 3) {
        for (uint32_t s : {0x0000u, 0x0821u, 0xFFFFu, 0x7FFFu, 0x07E0u, 0xF81Fu, 0x4210u}) {
            ASSERT_EQ(Pixels::RGB565::AddSat(static_cast<uint16_t>(d), static_cast<uint16_t>(s)),
                      Reference::AddSat16(TargetFormat::RGB565, d, s));
            ASSERT_EQ(Pixels::RGB555::AddSat(static_cast<uint16_t>(d), static_cast<uint16_t>(s & 0x7FFF)),
                      Reference::AddSat16(TargetFormat::RGB555, d, s & 0x7FFF));
        }
    }
    // A red field of 31 plus 1 stays 31 and leaves green and blue alone.
    EXPECT_EQ(Pixels::RGB565::AddSat(0xF800 | 0x0021, 0x0800), 0xF800 | 0x0021);
}

TEST(PixelFormats, KnownValuesOfTheBlends)
{
    EXPECT_EQ(Pixels::Blend(0xFFFFFFFF, 0x00000000, 128), 0x007F7F7Fu);
    EXPECT_EQ(Pixels::AddSat(0x00808080, 0xFFFFFFFF), 0x00FFFFFFu);
    // White over white at 128: the two weights sum to less than one.
    uint16_t white = 0xFFFF;
    EXPECT_EQ(Pixels::RGB565::Blend(0xFFFFFF, white, 128), (29u << 11) | (60u << 5) | 29u);
    // Alpha 9, black over white.
    EXPECT_EQ(Pixels::RGB565::Blend(0, white, 9), (29u << 11) | (59u << 5) | 29u);
    EXPECT_EQ(Pixels::RGB555::Blend(0, 0x7FFF, 9), (29u << 10) | (29u << 5) | 29u);
    // Even a weight of 0 takes a full field down by one step (63 by two).
    EXPECT_EQ(Pixels::RGB565::Blend(0, white, 0), (30u << 11) | (61u << 5) | 30u);
}
