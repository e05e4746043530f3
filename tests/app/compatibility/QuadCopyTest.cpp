#include "app/compatibility/QuadCopy.h"
#include "app/compatibility/TriangleRasterizer.h"

#include "support/RasterCanvas.h"
#include "support/ReferenceRasterizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace Compatibility;
using namespace RasterTest;

namespace {

// An upright rectangle in pixels, mapped 1:1 from texel (column, row) at its top left.
struct Quad
{
    double x;
    double y;
    double w;
    double h;
    double column;
    double row;
};

int32_t Fixed(double value)
{
    return static_cast<int32_t>(std::lround(value * 65536));
}

// Units (1/65536 of a pixel) added to the position and texel coordinates of each corner:
// top left, top right, bottom left, bottom right.
struct Nudges
{
    int32_t x[4];
    int32_t y[4];
    int32_t u[4];
    int32_t v[4];
};

// The corners as a strip in one of its eight orders: corner 0 any of the four, corner 3 the
// one opposite, 1 and 2 the other two either way round.
void MakeStrip(const Quad& q, int order, RasterVertex* strip, const Nudges& nudges = {})
{
    RasterVertex corners[4];
    for (int i = 0; i < 4; ++i) {
        const double dx = (i & 1) ? q.w : 0;
        const double dy = (i & 2) ? q.h : 0;
        corners[i] = RasterVertex{};
        corners[i].x = Fixed(q.x + dx) + nudges.x[i];
        corners[i].y = Fixed(q.y + dy) + nudges.y[i];
        corners[i].u = Fixed(q.column + dx) + nudges.u[i];
        corners[i].v = Fixed(q.row + dy) + nudges.v[i];
    }
    static constexpr int kSides[4][2] = {{1, 2}, {0, 3}, {0, 3}, {1, 2}};
    const int first = order / 2;
    const int side = kSides[first][order & 1];
    strip[0] = corners[first];
    strip[1] = corners[side];
    strip[2] = corners[3 - side];
    strip[3] = corners[3 - first];
}

const RasterColor kModulation{200, 230, 180, 160};
const RasterColor kFill{0, 40, 255, 120};

// Every textured mode without gouraud colour: plain, alpha, modulated, colour fill and
// additive in all their combinations.
std::vector<uint32_t> RowModes()
{
    std::vector<uint32_t> modes;
    for (uint32_t extra = 0; extra < 16; ++extra) {
        modes.push_back(kModeTextured | (extra & 1 ? kModeTextureAlpha : 0) |
                        (extra & 2 ? kModeModulate : 0) | (extra & 4 ? kModeColorFill : 0) |
                        (extra & 8 ? kModeAdditive : 0));
    }
    return modes;
}

bool Copy(TargetFormat format, uint32_t mode, const RasterVertex* strip, const RasterTarget& target,
          const RasterTexture* texture)
{
    return CopyQuad(format, mode, strip, target, texture, &kModulation, &kFill);
}

void DrawTriangles(TargetFormat format, uint32_t mode, const RasterVertex* strip, const RasterTarget& target,
                   const RasterTexture& texture)
{
    const RasterVertex first[3] = {strip[0], strip[1], strip[2]};
    const RasterVertex second[3] = {strip[1], strip[3], strip[2]};
    (*TriangleRasterizers(format))[mode](first, target, &texture, &kModulation, &kFill);
    (*TriangleRasterizers(format))[mode](second, target, &texture, &kModulation, &kFill);
}

// Every pixel against the texture itself: those whose sample point (whole coordinates) the
// quad holds show the texel one to one, the rest are as they were.
void ExpectCopyOfTexture(Canvas& drawn, Canvas& before, const Quad& q, const Texture& texture, int pitch,
                         const std::string& what)
{
    for (int y = 0; y < drawn.height; ++y) {
        for (int x = 0; x < drawn.width; ++x) {
            const bool inside = Fixed(x) >= Fixed(q.x) && Fixed(x) < Fixed(q.x + q.w) &&
                                Fixed(y) >= Fixed(q.y) && Fixed(y) < Fixed(q.y + q.h);
            uint32_t expected = before.Pixel(x, y);
            if (inside) {
                const int column = static_cast<int>(std::floor(x - q.x + q.column));
                const int row = static_cast<int>(std::floor(y - q.y + q.row));
                const uint32_t texel = texture.texels[static_cast<size_t>(row) * pitch + column];
                expected =
                    drawn.format == TargetFormat::ARGB8888 ? texel : Reference::Pack16(drawn.format, texel);
            }
            ASSERT_EQ(drawn.Pixel(x, y), expected) << what << " at " << x << "," << y;
        }
    }
}

} // namespace

TEST(QuadCopy, UprightOneToOneQuadsDrawWhatTheirTrianglesDraw)
{
    const Quad quads[] = {
        {5.5, 4.5, 7, 5, 3, 9},        // on pixel boundaries, as sprites at whole positions land
        {3.37, 2.61, 17, 11, 0, 0},    // sub-pixel position
        {10.5, 10.5, 1, 1, 20, 20},    // one pixel
        {2.5, 2.25, 6.75, 4.5, 1, 1},  // a fractional size
        {4.125, 3.875, 31, 19, 7, 30}, // edges and texels an eighth of a pixel from a boundary
        {-4.5, 6.5, 13, 9, 5, 5},      // cut by each edge of the surface
        {33.5, 6.5, 13, 9, 5, 5},      {6.5, -3.25, 9, 7, 40, 2},
        {6.5, 25.75, 9, 11, 40, 2},    {-6.5, -5.5, 53, 41, 2, 3}, // by all four
        {45.5, 5.5, 5, 5, 0, 0},                                   // wholly outside
    };
    std::mt19937 random(22);
    for (TargetFormat format : kFormats) {
        Texture texture(64, 64, 64, random);
        for (const Quad& q : quads) {
            for (int order = 0; order < 8; ++order) {
                const std::string what = std::string(TargetFormatName(format)) + " quad at " +
                                         std::to_string(q.x) + "," + std::to_string(q.y) + " order " +
                                         std::to_string(order);
                Canvas before(format, 40, 30);
                FillRandom(before, random);
                Canvas copied = before;
                Canvas walked = before;
                RasterVertex strip[4];
                MakeStrip(q, order, strip);
                ASSERT_TRUE(Copy(format, kModeTextured, strip, copied.Target(), &texture.raster)) << what;
                DrawTriangles(format, kModeTextured, strip, walked.Target(), texture.raster);
                ExpectSame(copied, walked, what);
                ExpectCopyOfTexture(copied, before, q, texture, 64, what);
                ASSERT_TRUE(copied.CanariesIntact()) << what;
                // Every other mode shades the same pixels with the same texels; only a fill
                // colour that ignores the texels is left to the triangles.
                for (uint32_t mode : RowModes()) {
                    Canvas shaded = before;
                    Canvas triangles = before;
                    const bool texelsRead = (mode & kModeColorFill) == 0 || (mode & kModeTextureAlpha) != 0;
                    const bool copiedRows = Copy(format, mode, strip, shaded.Target(), &texture.raster);
                    EXPECT_TRUE(copiedRows || !texelsRead) << what << " mode " << mode;
                    if (copiedRows) {
                        DrawTriangles(format, mode, strip, triangles.Target(), texture.raster);
                        ExpectSame(shaded, triangles, what + " mode " + std::to_string(mode));
                    }
                }
            }
        }
    }
}

TEST(QuadCopy, NearlyOneToOneQuadsDrawWhatTheirTrianglesDraw)
{
    // Corners placed in floating point land a unit or so off the texel grid; a quad whose
    // corners name texels apart is scaled, and left to the triangles.
    struct Case
    {
        const char* name;
        Nudges nudges;
        bool copied;
    };
    const Case cases[] = {
        {"right edge a unit right", {{0, 1, 0, 1}, {}, {}, {}}, true},
        {"bottom edge a unit low", {{}, {0, 0, 1, 1}, {}, {}}, true},
        {"one corner's texel a unit back", {{}, {}, {0, 0, 0, -1}, {0, -1, 0, 0}}, true},
        {"texels stretched right by an eighth of a texel", {{}, {}, {0, 0x2000, 0, 0x2000}, {}}, true},
        {"texels stretched down by an eighth of a texel", {{}, {}, {}, {0, 0, 0x2000, 0x2000}}, true},
        {"texels stretched right by a texel", {{}, {}, {0, 0x10000, 0, 0x10000}, {}}, false},
        {"texels shrunk up by a texel", {{}, {}, {}, {0, 0, -0x10000, -0x10000}}, false},
        {"the bottom right texel a texel on", {{}, {}, {0, 0, 0, 0x10000}, {}}, false},
    };
    const Quad quads[] = {
        {3.37, 2.61, 17, 11, 0, 0},       // sub-pixel position
        {10.5, 1.25, 20, 15, 3.75, 40.5}, // on quarter and half pixels
        {-4.5, 6.5, 13, 9, 5.1, 5.2},     // cut by the surface's left edge
        {33.5, 25.75, 13, 9, 5.2, 2.3},   // and by its right and bottom edges
    };
    std::mt19937 random(33);
    for (TargetFormat format : kFormats) {
        Texture texture(64, 64, 64, random);
        for (const Case& c : cases) {
            for (const Quad& q : quads) {
                for (int order = 0; order < 8; ++order) {
                    RasterVertex strip[4];
                    MakeStrip(q, order, strip, c.nudges);
                    for (uint32_t mode : RowModes()) {
                        const std::string what = std::string(TargetFormatName(format)) + " " + c.name +
                                                 " quad at " + std::to_string(q.x) + " order " +
                                                 std::to_string(order) + " mode " + std::to_string(mode);
                        Canvas copied(format, 40, 30);
                        FillRandom(copied, random);
                        Canvas walked = copied;
                        const bool texelsRead =
                            (mode & kModeColorFill) == 0 || (mode & kModeTextureAlpha) != 0;
                        const bool drawn = Copy(format, mode, strip, copied.Target(), &texture.raster);
                        ASSERT_TRUE(c.copied ? drawn || !texelsRead : !drawn) << what;
                        if (drawn) {
                            DrawTriangles(format, mode, strip, walked.Target(), texture.raster);
                        }
                        ExpectSame(copied, walked, what);
                        ASSERT_TRUE(copied.CanariesIntact()) << what;
                    }
                }
            }
        }
    }
}

TEST(QuadCopy, RandomQuadsMatchTheTrianglesWhereverCopied)
{
    std::mt19937 random(2222);
    for (TargetFormat format : kFormats) {
        Texture texture(512, 512, 512, random);
        int copies = 0;
        for (int round = 0; round < 400; ++round) {
            auto fraction = [&] { return random() % 2 ? 0.5 : (random() % 65536) / 65536.0; };
            const double w = 1 + random() % 300 + (random() % 2 ? fraction() : 0);
            const double h = 1 + random() % 300 + (random() % 2 ? fraction() : 0);
            const Quad q{static_cast<double>(random() % 240) - w / 2 + fraction(),
                         static_cast<double>(random() % 160) - h / 2 + fraction(),
                         w,
                         h,
                         static_cast<double>(random() % 200) + fraction(),
                         static_cast<double>(random() % 200) + fraction()};
            Canvas copied(format, 200, 120);
            FillRandom(copied, random);
            Canvas walked = copied;
            RasterVertex strip[4];
            MakeStrip(q, static_cast<int>(random() % 8), strip);
            const uint32_t mode = RowModes()[static_cast<size_t>(round) % RowModes().size()];
            if (!Copy(format, mode, strip, copied.Target(), &texture.raster)) {
                continue;
            }
            ++copies;
            DrawTriangles(format, mode, strip, walked.Target(), texture.raster);
            ExpectSame(copied, walked,
                       std::string(TargetFormatName(format)) + " round " + std::to_string(round));
            ASSERT_TRUE(copied.CanariesIntact());
        }
        EXPECT_GT(copies, 40) << TargetFormatName(format);
    }
}

TEST(QuadCopy, OtherQuadsAndModesAreLeftToTheTriangles)
{
    std::mt19937 random(7);
    Texture texture(64, 64, 64, random);
    Texture narrow(48, 64, 64, random);
    const Quad sprite{5.5, 4.5, 8, 6, 3, 2};
    struct Case
    {
        const char* name;
        Quad quad;
        uint32_t mode;
        const RasterTexture* texture;
        void (*change)(RasterVertex* strip);
    };
    const auto none = [](RasterVertex*) {};
    const Case cases[] = {
        // The walk hands this mode texels of its own: it reads only the fill colour.
        {"modulated colour fill", sprite, kModeTextured | kModeColorFill | kModeModulate, &texture.raster,
         none},
        {"gouraud", sprite, kModeTextured | kModeGouraud, &texture.raster, none},
        {"untextured", sprite, kModeGouraud, &texture.raster, none},
        {"no texture", sprite, kModeTextured, nullptr, none},
        {"scaled", sprite, kModeTextured, &texture.raster,
         [](RasterVertex* s) {
             for (int i = 0; i < 4; ++i) {
                 s[i].u += s[i].u - s[0].u;
             }
         }},
        {"flipped", sprite, kModeTextured, &texture.raster,
         [](RasterVertex* s) {
             std::swap(s[0].u, s[1].u);
             std::swap(s[2].u, s[3].u);
         }},
        {"a corner moved", sprite, kModeTextured, &texture.raster,
         [](RasterVertex* s) { s[3].x += 0x10000; }},
        {"sides for a diagonal", sprite, kModeTextured, &texture.raster,
         [](RasterVertex* s) { std::swap(s[2], s[3]); }},
        {"edge on a sample point", {5, 4.5, 8, 6, 3.5, 2}, kModeTextured, &texture.raster, none},
        {"edge near a sample point", {5.1, 4.5, 8, 6, 3.6, 2}, kModeTextured, &texture.raster, none},
        {"texels on a boundary", {5.5, 4.5, 8, 6, 3.5, 2}, kModeTextured, &texture.raster, none},
        {"texels near a boundary", {5.5, 4.5, 8, 6, 3, 2.45}, kModeTextured, &texture.raster, none},
        {"too large", {-600.5, -600.5, 1025, 1025, 0, 0}, kModeTextured, &texture.raster, none},
        {"past the texture's right edge", {5.5, 4.5, 8, 6, 60, 2}, kModeTextured, &texture.raster, none},
        {"left of the texture", {5.5, 4.5, 8, 6, -2, 2}, kModeTextured, &texture.raster, none},
        {"a texture width not a power of two", sprite, kModeTextured, &narrow.raster, none},
    };
    for (TargetFormat format : kFormats) {
        for (const Case& c : cases) {
            Canvas canvas(format, 40, 30);
            FillRandom(canvas, random);
            Canvas before = canvas;
            RasterVertex strip[4];
            MakeStrip(c.quad, 0, strip);
            c.change(strip);
            EXPECT_FALSE(Copy(format, c.mode, strip, canvas.Target(), c.texture)) << c.name;
            ExpectSame(canvas, before, c.name);
        }
    }
}
