#include "app/compatibility/TriangleRasterizer.h"

#include "support/RasterCanvas.h"
#include "support/ReferenceRasterizer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace Compatibility;
using namespace RasterTest;

namespace {

RasterVertex Vertex(double x, double y)
{
    RasterVertex v{};
    v.x = static_cast<int32_t>(x * 65536);
    v.y = static_cast<int32_t>(y * 65536);
    return v;
}

RasterColor RandomColor(std::mt19937& random)
{
    const uint32_t edges[] = {0, 1, 128, 239, 240, 241, 254, 255};
    auto pick = [&]() {
        return static_cast<uint32_t>(random() % 3 == 0 ? edges[random() % 8] : random() % 256);
    };
    return {pick(), pick(), pick(), pick()};
}

int32_t RandomChannel(std::mt19937& random)
{
    // 8.16 values from 0 to 255.99, with exact edges and the 8.0 / 240.0 alpha bounds.
    const int32_t edges[] = {0, 0x80000, 0x80001, 0xF00000, 0xF00001, 0xFF0000, 0xFFFFFF};
    return random() % 4 == 0 ? edges[random() % 7] : static_cast<int32_t>(random() % 0x1000000);
}

} // namespace

TEST(TriangleRasterizer, EveryMemberMatchesTheReferenceOnRandomTriangles)
{
    std::mt19937 random(1234);
    for (TargetFormat format : kFormats) {
        const TriangleRasterizerTable* table = TriangleRasterizers(format);
        ASSERT_NE(table, nullptr);
        for (uint32_t index = 0; index < 64; ++index) {
            const std::string name = TriangleRasterizerName(format, index);
            for (int round = 0; round < 60; ++round) {
                // Some surfaces are wide enough for rows longer than one run of gathered texels.
                const int w = round % 4 == 0 ? 130 + static_cast<int>(random() % 40)
                                             : 48 + static_cast<int>(random() % 24);
                const int h = 32 + static_cast<int>(random() % 16);
                Canvas ours(format, w, h);
                FillRandom(ours, random);
                Canvas theirs = ours;
                Texture texture(16 << (random() % 3), 8 << (random() % 3), 64, random);
                RasterVertex v[3];
                for (RasterVertex& p : v) {
                    // Corners anywhere on the surface, at whole, half and arbitrary sub-pixel positions.
                    p = RasterVertex{static_cast<int32_t>(random() % (static_cast<uint32_t>(w - 1) << 16)),
                                     static_cast<int32_t>(random() % (static_cast<uint32_t>(h - 1) << 16)),
                                     RandomChannel(random),
                                     RandomChannel(random),
                                     RandomChannel(random),
                                     RandomChannel(random),
                                     static_cast<int32_t>(random()) >> (random() % 12),
                                     static_cast<int32_t>(random()) >> (random() % 12)};
                    if (round % 5 == 0) {
                        p.x &= ~0xFFFF;
                        p.y &= ~0x7FFF;
                    }
                }
                if (round % 3 == 1) {
                    // Corners of one colour, as filled rectangles have: every pixel takes it.
                    for (RasterVertex& p : v) {
                        p.a = v[0].a;
                        p.r = v[0].r;
                        p.g = v[0].g;
                        p.b = v[0].b;
                    }
                }
                RasterColor modulation = RandomColor(random);
                RasterColor fill = RandomColor(random);
                if ((index & kModeTextured) == 0 && (index & kModeGouraud) == 0) {
                    // The flat members read the fill colour as 8.16.
                    fill = {static_cast<uint32_t>(RandomChannel(random)),
                            static_cast<uint32_t>(RandomChannel(random)),
                            static_cast<uint32_t>(RandomChannel(random)),
                            static_cast<uint32_t>(RandomChannel(random))};
                }
                const RasterVertex before[3] = {v[0], v[1], v[2]};
                (*table)[index](v, ours.Target(), &texture.raster, &modulation, &fill);
                Reference::DrawTriangle(format, index, v, theirs.Target(), texture.raster, modulation, fill);
                ExpectSame(ours, theirs, name + " round " + std::to_string(round));
                ASSERT_EQ(std::memcmp(before, v, sizeof(v)), 0) << name << " changed its vertices";
                ASSERT_TRUE(ours.CanariesIntact()) << name;
            }
        }
    }
}

TEST(TriangleRasterizer, UnscaledQuadsMatchTheReference)
{
    // Sprites drawn 1:1 at sub-pixel positions read whole runs of one texture row in place;
    // the texels must be those the addressing rule names, wrap-around included.
    std::mt19937 random(555);
    for (TargetFormat format : kFormats) {
        const TriangleRasterizerTable& table = *TriangleRasterizers(format);
        for (uint32_t index = kModeTextured; index < 64; ++index) {
            if ((index & kModeTextured) == 0) {
                continue;
            }
            for (int round = 0; round < 12; ++round) {
                Canvas ours(format, 150, 40);
                FillRandom(ours, random);
                Canvas theirs = ours;
                Texture texture(32 << (random() % 2), 16, 64, random);
                if (round % 2) {
                    // Sprite-like art: long stretches wholly clear or wholly opaque.
                    for (size_t i = 0; i < texture.texels.size(); ++i) {
                        const uint32_t band = static_cast<uint32_t>(i / 19 % 3);
                        const uint32_t alpha = band == 0 ? 0 : band == 1 ? 255 : texture.texels[i] >> 24;
                        texture.texels[i] = (texture.texels[i] & 0x00FFFFFF) | (alpha << 24);
                    }
                }
                const double x = 1 + (random() % 4000) / 1000.0;
                const double y = 1 + (random() % 4000) / 1000.0;
                const double w = 20 + random() % 120;
                const double h = 5 + random() % 30;
                const int32_t u0 = static_cast<int32_t>(random() % 0x400000) - 0x200000;
                const int32_t v0 = static_cast<int32_t>(random() % 0x400000) - 0x200000;
                auto corner = [&](double dx, double dy) {
                    RasterVertex v = Vertex(x + dx, y + dy);
                    v.u = u0 + static_cast<int32_t>(dx * 65536);
                    v.v = v0 + static_cast<int32_t>(dy * 65536);
                    return v;
                };
                const RasterVertex quad[2][3] = {{corner(0, 0), corner(w, 0), corner(0, h)},
                                                 {corner(w, 0), corner(w, h), corner(0, h)}};
                RasterColor modulation = RandomColor(random);
                RasterColor fill = RandomColor(random);
                for (const auto& triangle : quad) {
                    table[index](triangle, ours.Target(), &texture.raster, &modulation, &fill);
                    Reference::DrawTriangle(format, index, triangle, theirs.Target(), texture.raster,
                                            modulation, fill);
                }
                ExpectSame(ours, theirs,
                           TriangleRasterizerName(format, index) + " round " + std::to_string(round));
            }
        }
    }
}

TEST(TriangleRasterizer, TablesChooseTheNamedMembers)
{
    EXPECT_EQ(TriangleRasterizers(TargetFormat::None), nullptr);
    EXPECT_EQ(TriangleRasterizerName(TargetFormat::RGB565, 13), "DrawTriangle_RGB565_TexAlphaModulate");
    EXPECT_EQ(TriangleRasterizerName(TargetFormat::RGB555, 8), "DrawTriangle_RGB16_Tex");
    EXPECT_EQ(TriangleRasterizerName(TargetFormat::ARGB8888, 63),
              "DrawTriangle_ARGB8888_AdditiveColorFillTexAlphaGouraudModulate");
    for (TargetFormat format : kFormats) {
        const TriangleRasterizerTable& table = *TriangleRasterizers(format);
        // Untextured entries ignore texture alpha, colour fill and additive blending.
        for (uint32_t index = 0; index < 64; ++index) {
            if ((index & kModeTextured) == 0) {
                EXPECT_EQ(table[index], table[index & 3]) << index;
                EXPECT_EQ(TriangleRasterizerName(format, index), TriangleRasterizerName(format, index & 3));
            } else {
                EXPECT_NE(table[index], nullptr);
            }
        }
    }
}

namespace {

// Which pixels one triangle covers, drawn by an additive member with a texel of blue 1
// so that every write counts.
std::vector<int> Coverage(const std::vector<RasterVertex>& corners, int w, int h)
{
    Canvas canvas(TargetFormat::ARGB8888, w, h);
    uint32_t one = 1;
    RasterTexture texture{&one, 16, 0, 0};
    RasterColor none{};
    const TriangleRasterizer draw =
        (*TriangleRasterizers(TargetFormat::ARGB8888))[kModeAdditive | kModeTextured];
    for (size_t i = 0; i + 2 < corners.size(); i += 3) {
        draw(&corners[i], canvas.Target(), &texture, &none, &none);
    }
    std::vector<int> counts;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            counts.push_back(static_cast<int>(canvas.Pixel(x, y) & 0xFF));
        }
    }
    EXPECT_TRUE(canvas.CanariesIntact());
    return counts;
}

std::vector<int> Rows(const std::vector<int>& counts, int w)
{
    std::vector<int> rows;
    for (size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] != 0 && (rows.empty() || rows.back() != static_cast<int>(i) / w)) {
            rows.push_back(static_cast<int>(i) / w);
        }
    }
    return rows;
}

} // namespace

TEST(TriangleRasterizer, RowsFromTheFirstSampleAtOrBelowTheTopToTheLastAboveTheBottom)
{
    const int w = 32;
    EXPECT_EQ(Rows(Coverage({Vertex(1, 2.0), Vertex(20, 2.0), Vertex(10, 5.0)}, w, 16), w),
              (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(Rows(Coverage({Vertex(1, 2.25), Vertex(20, 2.25), Vertex(10, 3.5)}, w, 16), w),
              (std::vector<int>{3}));
    EXPECT_TRUE(Rows(Coverage({Vertex(1, 2.25), Vertex(20, 2.25), Vertex(10, 2.75)}, w, 16), w).empty());
    // Three equal y values, and a middle corner on the long edge, draw nothing.
    EXPECT_TRUE(Rows(Coverage({Vertex(1, 4), Vertex(20, 4), Vertex(10, 4)}, w, 16), w).empty());
    EXPECT_TRUE(Rows(Coverage({Vertex(0, 0), Vertex(5, 5), Vertex(10, 10)}, w, 16), w).empty());
}

TEST(TriangleRasterizer, ASharedVerticalEdgeBelongsToTheTriangleOnItsRight)
{
    const int w = 24;
    const int h = 12;
    // Left triangle ends at x = 10 (its right edge), right triangle starts there.
    std::vector<int> left = Coverage({Vertex(2, 1), Vertex(10, 1), Vertex(10, 9)}, w, h);
    std::vector<int> right = Coverage({Vertex(10, 1), Vertex(18, 9), Vertex(10, 9)}, w, h);
    for (int y = 2; y < 9; ++y) {
        EXPECT_EQ(left[y * w + 10], 0) << y;
        EXPECT_EQ(right[y * w + 10], 1) << y;
    }
    EXPECT_EQ(left[5 * w + 9], 1);
    EXPECT_EQ(right[5 * w + 9], 0);
}

TEST(TriangleRasterizer, AMeshCoversEveryInteriorPixelExactlyOnce)
{
    std::mt19937 random(77);
    const int w = 96;
    const int h = 80;
    for (int round = 0; round < 20; ++round) {
        // A grid over (8, 8)-(88, 72) whose inner points move by up to 1.9 pixels each way
        // (cells of about 9 pixels stay convex).
        const int nx = 9, ny = 7;
        std::vector<RasterVertex> grid;
        for (int j = 0; j <= ny; ++j) {
            for (int i = 0; i <= nx; ++i) {
                double x = 8 + i * 80.0 / nx;
                double y = 8 + j * 64.0 / ny;
                if (i > 0 && i < nx) {
                    x += (static_cast<int>(random() % 3800) - 1900) / 1000.0;
                }
                if (j > 0 && j < ny) {
                    y += (static_cast<int>(random() % 3800) - 1900) / 1000.0;
                }
                grid.push_back(Vertex(x, y));
            }
        }
        std::vector<RasterVertex> mesh;
        for (int j = 0; j < ny; ++j) {
            for (int i = 0; i < nx; ++i) {
                const RasterVertex& a = grid[j * (nx + 1) + i];
                const RasterVertex& b = grid[j * (nx + 1) + i + 1];
                const RasterVertex& c = grid[(j + 1) * (nx + 1) + i];
                const RasterVertex& d = grid[(j + 1) * (nx + 1) + i + 1];
                // Both diagonals and both windings occur.
                if ((i + j + round) % 2) {
                    mesh.insert(mesh.end(), {a, b, d, a, d, c});
                } else {
                    mesh.insert(mesh.end(), {a, c, b, b, c, d});
                }
            }
        }
        std::vector<int> counts = Coverage(mesh, w, h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int expected = (x >= 8 && x < 88 && y >= 8 && y < 72) ? 1 : 0;
                ASSERT_EQ(counts[y * w + x], expected) << x << "," << y << " round " << round;
            }
        }
    }
}

TEST(TriangleRasterizer, TexelsWrapAroundInBothDirections)
{
    std::vector<uint32_t> texels(64 * 4);
    for (int i = 0; i < 64; ++i) {
        texels[i] = 0xFF000000u | static_cast<uint32_t>(i);
    }
    RasterTexture texture{texels.data(), 16 - 6, 63u << 16, 3u << 16};
    RasterColor none{};
    auto sample = [&](int32_t u) {
        Canvas canvas(TargetFormat::ARGB8888, 4, 4);
        RasterVertex v[3] = {Vertex(0, 0), Vertex(4, 0), Vertex(0, 4)};
        for (RasterVertex& p : v) {
            p.u = u;
            p.v = 0;
        }
        (*TriangleRasterizers(TargetFormat::ARGB8888))[kModeTextured](v, canvas.Target(), &texture, &none,
                                                                      &none);
        return canvas.Pixel(0, 0) & 0xFF;
    };
    EXPECT_EQ(sample(64 << 16), 0u);
    EXPECT_EQ(sample(-(1 << 16)), 63u);
    EXPECT_EQ(sample(5 << 16), 5u);
}

TEST(TriangleRasterizer, HostileCornersNeverWriteOutsideTheSurface)
{
    std::mt19937 random(99);
    std::vector<uint32_t> texels(16 * 16, 0xFFFFFFFF);
    RasterTexture texture{texels.data(), 12, 15u << 16, 15u << 16};
    RasterColor white{255, 255, 255, 255};
    const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -0x10000,           -1,       0, 1, 0xFFFF, 0x10000,
                                40 << 16,  1 << 30,       INT32_MAX - 0xFFFF, INT32_MAX};
    for (TargetFormat format : kFormats) {
        const TriangleRasterizerTable& table = *TriangleRasterizers(format);
        for (int round = 0; round < 400; ++round) {
            Canvas canvas(format, 40, 30);
            RasterVertex v[3];
            for (RasterVertex& p : v) {
                auto pick = [&]() {
                    return random() % 2 ? extremes[random() % 12] : static_cast<int32_t>(random());
                };
                p = RasterVertex{pick(), pick(), pick(), pick(), pick(), pick(), pick(), pick()};
            }
            if (round % 3 == 0) {
                // A sliver: a long edge less than a sixteenth of a pixel high.
                v[0] = Vertex(0, 10);
                v[1] = Vertex(39.5, 10);
                v[1].y += 1 + static_cast<int32_t>(random() % 4096);
                v[2] = Vertex(20, 10.01);
            }
            const uint32_t index = random() % 64;
            table[index](v, canvas.Target(), &texture, &white, &white);
            ASSERT_TRUE(canvas.CanariesIntact())
                << TriangleRasterizerName(format, index) << " round " << round;
        }
    }
}

TEST(TriangleRasterizer, UntexturedAlphaBoundsAndModulatedCopies)
{
    RasterColor full{255, 255, 255, 255};
    auto shade = [&](TargetFormat format, uint32_t index, int32_t alpha, uint32_t before) {
        Canvas canvas(format, 4, 4);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                std::memcpy(canvas.Row(y) + x * BytesOf(format), &before, BytesOf(format));
            }
        }
        RasterVertex v[3] = {Vertex(0, 0), Vertex(4, 0), Vertex(0, 4)};
        for (RasterVertex& p : v) {
            p.a = alpha;
            p.r = p.g = p.b = 0xFF0000;
        }
        const RasterVertex copy[3] = {v[0], v[1], v[2]};
        RasterColor fill{static_cast<uint32_t>(alpha), 0xFF0000, 0xFF0000, 0xFF0000};
        (*TriangleRasterizers(format))[index](v, canvas.Target(), nullptr, &full, &fill);
        EXPECT_EQ(std::memcmp(copy, v, sizeof(v)), 0);
        return canvas.Pixel(0, 0);
    };
    // 240.0 blends, above writes opaque, 8.0 leaves the pixel alone.
    EXPECT_EQ(shade(TargetFormat::RGB565, 0, 0xF00000, 0xFFFF), (29u << 11) | (60u << 5) | 29u);
    EXPECT_EQ(shade(TargetFormat::RGB565, 0, 0xF10000, 0), 0xFFFFu);
    EXPECT_EQ(shade(TargetFormat::RGB555, 2, 0x80000, 0x1234), 0x1234u);
    EXPECT_EQ(shade(TargetFormat::ARGB8888, 2, 0x80001, 0), 0x00070707u);
    // Modulation by 255 takes 255.0 to 254.0039, still above 240.
    EXPECT_EQ(shade(TargetFormat::ARGB8888, 3, 0xFF0000, 0xFF000000), 0x00FEFEFEu);
    // Alpha just below 0.0 is not opaque.
    EXPECT_EQ(shade(TargetFormat::ARGB8888, 2, -1, 0x00123456), 0x00123456u);
}
