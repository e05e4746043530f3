#include "app/compatibility/SWHelper.h"

#include "app/Shader.h"
#include "app/Texture.h"
#include "app/compatibility/SpanBlitter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace Compatibility;

namespace {

struct Colored
{
    float x, y, z;
    uint32_t color;
    float u, v;
};

struct Plain
{
    float x, y, z, u, v;
};

// A helper with a locked surface of the given size and format, and the identity transform.
struct Fixture
{
    Fixture(int w, int h, const Platform::PixelFormat& format = Platform::PixelFormat::XRGB8888())
    {
        helper.CreateSurface(w, h, format);
        helper.Lock();
        state.screenWidth = w;
        state.screenHeight = h;
        state.material = {1, 1, 1, 1};
        state.color = {1, 1, 1, 1};
        state.blendMode = 2;
    }

    uint32_t Pixel(int x, int y) const
    {
        const Platform::SurfaceDesc& d = helper.GetSurfaceDesc();
        const uint8_t* p =
            helper.GetPixels() + static_cast<size_t>(y) * d.pitch + x * d.format.BytesPerPixel();
        uint32_t v = 0;
        std::memcpy(&v, p, d.format.BytesPerPixel());
        return v;
    }

    int Covered() const
    {
        int n = 0;
        for (int y = 0; y < helper.GetSurfaceDesc().height; ++y) {
            for (int x = 0; x < helper.GetSurfaceDesc().width; ++x) {
                n += Pixel(x, y) != 0;
            }
        }
        return n;
    }

    // A device-space quad as a coloured strip.
    void Quad(float x0, float y0, float x1, float y1, uint32_t color = 0xFFFFFFFF)
    {
        Colored v[4] = {{x0, y0, 0, color, 0, 0},
                        {x1, y0, 0, color, 1, 0},
                        {x0, y1, 0, color, 0, 1},
                        {x1, y1, 0, color, 1, 1}};
        helper.DrawTriangles(state, v, 4, SWHelper::kFormatColored, true);
    }

    SWHelper helper;
    SWDrawState state;
};

ClipVertex At(float x, float y, uint32_t color = 0xFF000000)
{
    return {x, y, 0, 0, color};
}

} // namespace

TEST(SWHelperSurface, CreationDescribesTheSurfaceAndReleaseIsSafeInAnyState)
{
    SWHelper helper;
    EXPECT_FALSE(helper.HasSurface());
    EXPECT_TRUE(helper.IsTranslationOnly());
    EXPECT_NE(helper.Lock(), 0);
    EXPECT_EQ(helper.GetPixels(), nullptr);

    helper.CreateSurface(800, 600, Platform::PixelFormat::RGB565());
    const Platform::SurfaceDesc& desc = helper.GetSurfaceDesc();
    EXPECT_EQ(desc.width, 800);
    EXPECT_EQ(desc.height, 600);
    EXPECT_GE(desc.pitch, 1600);
    EXPECT_EQ(desc.format, Platform::PixelFormat::RGB565());
    EXPECT_EQ(helper.GetTargetFormat(), TargetFormat::RGB565);
    EXPECT_EQ(helper.GetPixels(), nullptr);

    EXPECT_EQ(helper.Lock(), 0);
    EXPECT_NE(helper.GetPixels(), nullptr);
    helper.ReleaseSurface();
    EXPECT_EQ(helper.GetPixels(), nullptr);
    EXPECT_FALSE(helper.HasSurface());
    helper.ReleaseSurface();

    helper.CreateSurface(640, 480, Platform::PixelFormat::RGB555());
    EXPECT_EQ(helper.GetSurfaceDesc().width, 640);
    EXPECT_EQ(helper.GetTargetFormat(), TargetFormat::RGB555);
    helper.CreateSurface(0, 480, Platform::PixelFormat::RGB555());
    EXPECT_FALSE(helper.HasSurface());
    EXPECT_EQ(helper.GetTargetFormat(), TargetFormat::None);
}

TEST(SWHelperSurface, TranslationOnlyFlagNeedsExactlyTheScreenScale)
{
    SWHelper helper;
    Matrix identity;
    helper.SetTransform(identity, identity, identity, 1.0f, 1.0f);
    EXPECT_TRUE(helper.IsTranslationOnly());
    Matrix moved;
    moved.Translate(12.5f, -3.0f, 0.0f);
    helper.SetTransform(moved, identity, identity, 1.0f, 1.0f);
    EXPECT_TRUE(helper.IsTranslationOnly());
    Matrix scaled;
    scaled.Scale(2.0f, 1.5f, 1.0f);
    helper.SetTransform(identity, scaled, identity, 2.0f, 1.5f);
    EXPECT_TRUE(helper.IsTranslationOnly());
    helper.SetTransform(identity, scaled, identity, 1.0f, 1.0f);
    EXPECT_FALSE(helper.IsTranslationOnly());
    Matrix rotated;
    rotated.Rotate(30.0f);
    helper.SetTransform(rotated, identity, identity, 1.0f, 1.0f);
    EXPECT_FALSE(helper.IsTranslationOnly());
    Matrix skewed;
    skewed.m[8] = 0.5f;
    helper.SetTransform(skewed, identity, identity, 1.0f, 1.0f);
    EXPECT_FALSE(helper.IsTranslationOnly());
    // The projection joins the transform but not the test.
    helper.SetTransform(identity, identity, scaled, 1.0f, 1.0f);
    EXPECT_TRUE(helper.IsTranslationOnly());
    EXPECT_EQ(helper.GetTransform().m[0], 2.0f);
}

TEST(SWHelperClip, ClipsToEachBoundInTurn)
{
    SWHelper helper;
    ClipVertex a = At(10, 10), b = At(50, 10), c = At(10, 50);
    ClipVertex* triangle[3] = {&a, &b, &c};
    ClipVertex* out[SWHelper::kClipPoolSize];
    ASSERT_EQ(helper.ClipToScreen(out, triangle, 0, 100, 0, 100), 3u);
    EXPECT_EQ(out[0], &a);
    EXPECT_EQ(out[1], &b);
    EXPECT_EQ(out[2], &c);
    EXPECT_EQ(helper.ClipToScreen(out, triangle, 60, 100, 0, 100), 0u);
    EXPECT_EQ(helper.ClipToScreen(out, triangle, 0, 100, 0, 5), 0u);
    // A vertex on the bound stays.
    ASSERT_EQ(helper.ClipToScreen(out, triangle, 10, 50, 10, 50), 3u);

    // One corner beyond maximum x: two new vertices on x = 40 take its place.
    ASSERT_EQ(helper.ClipToScreen(out, triangle, 0, 40, 0, 100), 4u);
    EXPECT_EQ(out[0], &a);
    EXPECT_EQ(out[1]->x, 40.0f);
    EXPECT_EQ(out[2]->x, 40.0f);
    EXPECT_EQ(out[3], &c);

    // Crossing all four bounds gives at most seven vertices.
    ClipVertex p = At(-50, 50), q = At(150, -40), r = At(60, 160);
    ClipVertex* big[3] = {&p, &q, &r};
    const uint32_t n = helper.ClipToScreen(out, big, 0, 100, 0, 100);
    EXPECT_GE(n, 3u);
    EXPECT_LE(n, 7u);
    for (uint32_t i = 0; i < n; ++i) {
        EXPECT_GE(out[i]->x, 0.0f);
        EXPECT_LE(out[i]->x, 100.0f);
        EXPECT_GE(out[i]->y, 0.0f);
        EXPECT_LE(out[i]->y, 100.0f);
    }
}

TEST(SWHelperClip, NewVerticesInterpolateEachChannelTruncated)
{
    SWHelper helper;
    ClipVertex a = At(-10, 0, 0xFF000000), b = At(10, 0, 0xFFFFFFFF), c = At(10, 20, 0xFFFFFFFF);
    ClipVertex* triangle[3] = {&a, &b, &c};
    ClipVertex* out[SWHelper::kClipPoolSize];
    ASSERT_EQ(helper.ClipToScreen(out, triangle, 0, 100, 0, 100), 4u);
    EXPECT_EQ(out[3]->x, 0.0f);
    EXPECT_EQ(out[3]->color, 0xFF7F7F7Fu);
}

TEST(SWHelperTriangles, DeviceSpaceMapsOntoTheScreenWithHalfPixelRules)
{
    Fixture f(80, 60);
    // The whole device square: -0.5 to 80.5 clipped to 0..79, so the last column and row stay empty.
    f.Quad(-1, 1, 1, -1);
    EXPECT_NE(f.Pixel(0, 0), 0u);
    EXPECT_NE(f.Pixel(78, 58), 0u);
    EXPECT_EQ(f.Pixel(79, 30), 0u);
    EXPECT_EQ(f.Pixel(40, 59), 0u);
    EXPECT_EQ(f.Covered(), 79 * 59);

    // Device x = 0 is column 40 exactly; y = 0 is row 30.
    Fixture g(80, 60);
    g.Quad(0, 0, 1, -1);
    EXPECT_EQ(g.Pixel(39, 40), 0u);
    EXPECT_NE(g.Pixel(40, 40), 0u);
    EXPECT_EQ(g.Pixel(50, 29), 0u);
    EXPECT_NE(g.Pixel(50, 30), 0u);
}

TEST(SWHelperTriangles, ClipRectangleScalesByEachAxis)
{
    Fixture f(80, 60);
    f.state.clipX = 10;
    f.state.clipY = 5;
    f.state.clipWidth = 20;
    f.state.clipHeight = 10;
    f.state.scaleX = 2;
    f.state.scaleY = 1;
    f.Quad(-1, 1, 1, -1);
    EXPECT_EQ(f.Pixel(19, 10), 0u);
    EXPECT_NE(f.Pixel(20, 10), 0u);
    EXPECT_NE(f.Pixel(59, 14), 0u);
    EXPECT_EQ(f.Pixel(60, 10), 0u);
    EXPECT_EQ(f.Pixel(30, 4), 0u);
    EXPECT_EQ(f.Pixel(30, 15), 0u);
    EXPECT_EQ(f.Covered(), 40 * 10);
}

TEST(SWHelperTriangles, ModulationFollowsTheMaterialColour)
{
    // Untextured 20-byte vertices are white, so they draw in the material colour.
    Plain quad[4] = {{-1, 1, 0, 0, 0}, {1, 1, 0, 0, 0}, {-1, -1, 0, 0, 0}, {1, -1, 0, 0, 0}};
    Fixture f(8, 8);
    f.helper.DrawTriangles(f.state, quad, 4, 0x102, true);
    EXPECT_EQ(f.Pixel(2, 2), 0x00FFFFFFu);
    Fixture g(8, 8);
    g.state.material = {0.9412f, 1, 1, 1}; // red 240: modulation on
    g.helper.DrawTriangles(g.state, quad, 4, 0x102, true);
    EXPECT_EQ(g.Pixel(2, 2), 0x00EFFEFEu);
    // Out-of-range components are held to 0..1 instead of wrapping.
    Fixture h(8, 8);
    h.state.material = {2.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 1};
    h.helper.DrawTriangles(h.state, quad, 4, 0x102, true);
    EXPECT_EQ(h.Pixel(2, 2), 0x00FE0000u);
    // Coloured vertices are never modulated.
    Fixture k(8, 8);
    k.state.material = {0, 0, 0, 0};
    k.Quad(-1, 1, 1, -1, 0xFF336699);
    EXPECT_EQ(k.Pixel(2, 2), 0x00336699u);
}

TEST(SWHelperTriangles, StripsAndListsTakeTheirTriangles)
{
    Colored strip[2] = {{-1, 1, 0, 0xFFFFFFFF, 0, 0}, {1, 1, 0, 0xFFFFFFFF, 0, 0}};
    Fixture f(16, 16);
    f.helper.DrawTriangles(f.state, strip, 2, SWHelper::kFormatColored, true);
    EXPECT_EQ(f.Covered(), 0);
    // A list of 7: two triangles; the seventh vertex alone draws nothing.
    Colored list[7] = {{-1, 1, 0, 0xFFFFFFFF, 0, 0}, {0, 1, 0, 0xFFFFFFFF, 0, 0},
                       {-1, 0, 0, 0xFFFFFFFF, 0, 0}, {0, 0, 0, 0xFFFFFFFF, 0, 0},
                       {1, 0, 0, 0xFFFFFFFF, 0, 0},  {0, -1, 0, 0xFFFFFFFF, 0, 0},
                       {1, -1, 0, 0xFFFFFFFF, 0, 0}};
    f.helper.DrawTriangles(f.state, list, 7, SWHelper::kFormatColored, false);
    EXPECT_NE(f.Pixel(1, 1), 0u);
    EXPECT_NE(f.Pixel(9, 9), 0u);
    EXPECT_EQ(f.Pixel(14, 14), 0u);
    // Nothing is drawn while the surface is not locked.
    Fixture g(16, 16);
    g.helper.Unlock();
    g.helper.DrawTriangleStrip(list, 4, SWHelper::kFormatColored);
    g.helper.Lock();
    EXPECT_EQ(g.Covered(), 0);
}

TEST(SWHelperTriangles, HostileVerticesAreSkippedOrHeldToTheSurface)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {0.0f,   1.0f, -1.0f, 0.5f, 1e30f,  -1e30f,  3e38f,
                            -3e38f, inf,  -inf,  nan,  1e-30f, 70000.0f};
    for (const Platform::PixelFormat& format :
         {Platform::PixelFormat::XRGB8888(), Platform::PixelFormat::RGB565(),
          Platform::PixelFormat::RGB555()}) {
        Fixture f(33, 17, format);
        for (float a : values) {
            for (float b : values) {
                Colored v[4] = {{a, b, 0, 0xFFFFFFFF, a, b},
                                {b, 0.5f, 0, 0x80FFFFFF, b, a},
                                {-0.5f, a, 0, 0xFF00FF00, 0, 0},
                                {0.25f, -0.75f, b, 0xFFFFFFFF, a, a}};
                f.helper.DrawTriangles(f.state, v, 4, SWHelper::kFormatColored, true);
            }
        }
        // A NaN corner draws nothing at all.
        Fixture g(33, 17, format);
        g.Quad(-1, 1, nan, -1);
        Colored v[3] = {
            {-1, 1, 0, 0xFFFFFFFF, 0, 0}, {1, 1, 0, 0xFFFFFFFF, 0, 0}, {nan, -1, 0, 0xFFFFFFFF, 0, 0}};
        Fixture h(33, 17, format);
        h.helper.DrawTriangles(h.state, v, 3, SWHelper::kFormatColored, false);
        EXPECT_EQ(h.Covered(), 0);
    }
}

TEST(SWHelperTriangles, TexturedDrawingReadsTheBoundTextureAndColourFill)
{
    Fixture f(16, 16);
    Texture texture;
    texture.mSurface = new Platform::Surface(4, 4, Platform::PixelFormat::ARGB8888());
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            uint32_t texel = 0x80000000u | static_cast<uint32_t>(x * 16 + y);
            std::memcpy(texture.mSurface->GetRow(y) + x * 4, &texel, 4);
        }
    }
    texture.mHasAlpha = 0;
    Shader shader;
    shader.mTexture = &texture;
    f.helper.SetTexture(&shader);
    EXPECT_EQ(f.helper.GetTexture(), &texture);
    EXPECT_NE(f.helper.GetTexels(), nullptr);
    Plain quad[4] = {{-1, 1, 0, 0, 0}, {1, 1, 0, 1, 0}, {-1, -1, 0, 0, 1}, {1, -1, 0, 1, 1}};
    f.helper.DrawTriangles(f.state, quad, 4, 0x102, true);
    // 16 pixels over 4 texels: 4 pixels a texel; copied with its alpha byte.
    EXPECT_EQ(f.Pixel(0, 0), 0x80000000u);
    EXPECT_EQ(f.Pixel(5, 9), 0x80000012u);
    // Colour fill paints white keeping the texel's alpha.
    f.state.colorFill = true;
    f.helper.DrawTriangles(f.state, quad, 4, 0x102, true);
    EXPECT_EQ(f.Pixel(5, 9), 0x80FFFFFFu);
    // With texture alpha on, the black texel at alpha 128 blends over the white.
    texture.mHasAlpha = 1;
    f.state.colorFill = false;
    f.helper.DrawTriangles(f.state, quad, 4, 0x102, true);
    EXPECT_EQ(f.Pixel(0, 0), 0x007E7E7Eu);
    f.helper.Unlock();
    EXPECT_EQ(f.helper.GetTexture(), nullptr);
    EXPECT_FALSE(texture.mSurface->IsLocked());
}

TEST(SWHelperTriangles, UnscaledSpritesShowEachTexelOnceWhetherWholeOrCutByTheClip)
{
    // A 4 x 4 sprite on pixels 2..5 of both axes (device corners half a pixel outside them),
    // drawn wholly inside the clip and again cut by it at x = 4.
    for (const Platform::PixelFormat& format :
         {Platform::PixelFormat::XRGB8888(), Platform::PixelFormat::RGB565()}) {
        Texture texture;
        texture.mSurface = new Platform::Surface(4, 4, Platform::PixelFormat::ARGB8888());
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const uint32_t texel =
                    0xFF204060u + (static_cast<uint32_t>(x) << 20) + (static_cast<uint32_t>(y) << 12);
                std::memcpy(texture.mSurface->GetRow(y) + x * 4, &texel, 4);
            }
        }
        texture.mHasAlpha = 0;
        Shader shader;
        shader.mTexture = &texture;
        const Plain sprite[4] = {{-0.75f, 0.75f, 0, 0, 0},
                                 {-0.25f, 0.75f, 0, 1, 0},
                                 {-0.75f, 0.25f, 0, 0, 1},
                                 {-0.25f, 0.25f, 0, 1, 1}};
        Fixture whole(16, 16, format);
        Fixture cut(16, 16, format);
        cut.state.clipX = 4;
        for (Fixture* f : {&whole, &cut}) {
            f->helper.SetTexture(&shader);
            f->helper.DrawTriangles(f->state, sprite, 4, 0x102, true);
        }
        EXPECT_EQ(whole.Covered(), 16);
        EXPECT_EQ(cut.Covered(), 8);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                EXPECT_EQ(cut.Pixel(x, y), x >= 4 ? whole.Pixel(x, y) : 0u) << x << "," << y;
            }
        }
        if (format.BytesPerPixel() == 4) {
            EXPECT_EQ(whole.Pixel(2, 2), 0xFF204060u);
            EXPECT_EQ(whole.Pixel(5, 4), 0xFF506060u);
        }
        for (Fixture* f : {&whole, &cut}) {
            f->helper.Unlock();
        }
    }
}

TEST(SWHelperTriangles, ATextureThatCannotBeReadDrawsNothing)
{
    Fixture f(16, 16);
    Texture texture;
    texture.mSurface = new Platform::Surface(4, 4, Platform::PixelFormat::RGB565());
    Shader shader;
    shader.mTexture = &texture;
    f.helper.SetTexture(&shader);
    EXPECT_EQ(f.helper.GetTexels(), nullptr);
    Plain quad[4] = {{-1, 1, 0, 0, 0}, {1, 1, 0, 1, 0}, {-1, -1, 0, 0, 1}, {1, -1, 0, 1, 1}};
    f.helper.DrawTriangles(f.state, quad, 4, 0x102, true);
    EXPECT_EQ(f.Covered(), 0);
}

TEST(SWHelperBlit, WholeTexturesAreCutToTheClipAndTheSurface)
{
    Texture texture;
    texture.mSurface = new Platform::Surface(8, 4, Platform::PixelFormat::ARGB8888());
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            uint32_t texel = 0xFF000000u | static_cast<uint32_t>((x + 1) << 12 | (y + 1) << 4);
            std::memcpy(texture.mSurface->GetRow(y) + x * 4, &texel, 4);
        }
    }
    texture.mWidth = 8;
    texture.mHeight = 4;
    Fixture f(20, 10);
    f.helper.BlitTexture(f.state, 0, 0, &texture, 2, 3);
    EXPECT_EQ(f.Pixel(2, 3), 0xFF001010u);
    EXPECT_EQ(f.Pixel(9, 6), 0xFF008040u);
    EXPECT_EQ(f.Covered(), 32);

    // The clip's right edge at x = 7 cuts the last three source columns.
    Fixture g(20, 10);
    g.state.clipX = 0;
    g.state.clipY = 0;
    g.state.clipWidth = 7;
    g.state.clipHeight = 10;
    g.helper.BlitTexture(g.state, 0, 0, &texture, 2, 3);
    EXPECT_EQ(g.Pixel(6, 3), 0xFF005010u);
    EXPECT_EQ(g.Pixel(7, 3), 0u);
    // Wholly left of the clip: nothing.
    g.helper.BlitTexture(g.state, -30, 0, &texture, 2, 3);
    EXPECT_EQ(g.Covered(), 20);

    // Off the surface on every side, the surface still bounds the copy.
    Fixture h(20, 10, Platform::PixelFormat::RGB565());
    for (int x : {-7, -100000, 17, 19, 100000}) {
        for (int y : {-3, -100000, 8, 100000}) {
            h.helper.BlitTexture(h.state, 0, 0, &texture, x, y);
        }
    }
    EXPECT_NE(h.Pixel(0, 0), 0u);
    EXPECT_NE(h.Pixel(19, 9), 0u);
}

// A fast-blit texture keeps the display format it was made in, which a mode change may
// have made another than the render surface's: every pairing copies the texture's colours,
// and a texture in the surface's own format arrives bit for bit.
TEST(SWHelperBlit, TexturesOfEveryFormatCopyTheirColoursOntoEverySurface)
{
    using Platform::PixelFormat;
    const PixelFormat formats[] = {PixelFormat::ARGB8888(), PixelFormat::RGB565(), PixelFormat::RGB555()};
    for (const PixelFormat& texels : formats) {
        Texture texture;
        texture.mSurface = new Platform::Surface(8, 4, texels);
        for (int i = 0; i < 32; ++i) {
            texture.mSurface->SetPixel(i % 8, i / 8, 0xFF000000u | (0x9E3779B9u * uint32_t(i + 1)) >> 8);
        }
        texture.mWidth = 8;
        texture.mHeight = 4;
        for (const PixelFormat& surface : formats) {
            Fixture f(8, 4, surface);
            f.helper.BlitTexture(f.state, 0, 0, &texture, 0, 0);
            for (int i = 0; i < 32; ++i) {
                const Platform::Surface& drawn = *f.helper.GetSurface();
                const uint32_t want = texture.mSurface->GetPixel(i % 8, i / 8);
                const uint32_t got = drawn.GetPixel(i % 8, i / 8);
                for (int shift : {0, 8, 16}) {
                    EXPECT_NEAR(int(want >> shift & 0xFF), int(got >> shift & 0xFF),
                                texels == surface ? 0 : 8)
                        << texels.bitsPerPixel << " onto " << surface.bitsPerPixel << ", texel " << i;
                }
            }
        }
    }
}

TEST(SWHelperSpans, TheDrawingColourChoosesTheSpanMember)
{
    const uint32_t source[3] = {0x80FF4020, 0xFF102030, 0x05FFFFFF};
    auto expected = [&](const Platform::PixelFormat& format, uint32_t index, RasterColor modulation,
                        RasterColor fill) {
        std::vector<uint32_t> d(3, 0x00406080);
        (*SpanBlitters(TargetFormatOf(format.bitsPerPixel, format.redMask, format.greenMask,
                                      format.blueMask)))[index](d.data(), source, 3, &modulation, &fill);
        return d;
    };
    auto drawn = [&](Fixture& f, float r, float g, float b, float a, uint8_t alphaFlag, bool colorFill) {
        f.state.color = {r, g, b, a};
        f.state.colorFill = colorFill;
        std::vector<uint32_t> d(3, 0x00406080);
        RasterColor fill = colorFill ? RasterColor{0, 255, 255, 255} : RasterColor{};
        f.helper.DrawSpanColored(f.state, d.data(), source, 3, alphaFlag, &fill, colorFill);
        return d;
    };
    const RasterColor white{255, 255, 255, 255};
    const RasterColor fillWhite{0, 255, 255, 255};
    Fixture f(4, 4);
    EXPECT_EQ(drawn(f, 1, 1, 1, 1, 1, false), expected(Platform::PixelFormat::XRGB8888(), 12, white, {}));
    EXPECT_EQ(drawn(f, 1, 1, 1, 1, 0, false), expected(Platform::PixelFormat::XRGB8888(), 8, white, {}));
    EXPECT_EQ(drawn(f, 1, 1, 1, 0.5f, 0, false),
              expected(Platform::PixelFormat::XRGB8888(), 13, {127, 255, 255, 255}, {}));
    EXPECT_EQ(drawn(f, 1, 1, 1, 0.95f, 1, false),
              expected(Platform::PixelFormat::XRGB8888(), 12, {242, 255, 255, 255}, {}));
    EXPECT_EQ(drawn(f, 0.9f, 1, 1, 1, 0, false),
              expected(Platform::PixelFormat::XRGB8888(), 9, {255, 229, 255, 255}, {}));
    EXPECT_EQ(drawn(f, 1, 1, 1, 1, 1, true),
              expected(Platform::PixelFormat::XRGB8888(), 28, white, fillWhite));
    f.state.blendMode = 1;
    EXPECT_EQ(drawn(f, 1, 1, 1, 1, 1, false), expected(Platform::PixelFormat::XRGB8888(), 44, white, {}));
    f.state.blendMode = 0;
    EXPECT_EQ(drawn(f, 1, 1, 1, 1, 1, false), expected(Platform::PixelFormat::XRGB8888(), 12, white, {}));
    // Alpha exactly 0 draws nothing; an unlocked surface draws nothing.
    EXPECT_EQ(drawn(f, 1, 1, 1, 0, 1, false), std::vector<uint32_t>(3, 0x00406080));
    f.helper.Unlock();
    EXPECT_EQ(drawn(f, 1, 1, 1, 1, 1, false), std::vector<uint32_t>(3, 0x00406080));
}

TEST(SWHelperSpans, PlainSpansFollowTheirOwnDestinationFormat)
{
    const uint32_t source[2] = {0xFFFFFFFF, 0x80FF0000};
    uint16_t d565[2] = {0, 0};
    SWHelper::DrawSpanPlain(2, TargetFormat::RGB565, d565, source, 2, 1, nullptr, false);
    EXPECT_EQ(d565[0], 0xFFFF);
    EXPECT_EQ(d565[1], (15u << 11));
    uint16_t d555[2] = {0, 0};
    SWHelper::DrawSpanPlain(2, TargetFormat::RGB555, d555, source, 2, 0, nullptr, false);
    EXPECT_EQ(d555[0], 0x7FFF);
    EXPECT_EQ(d555[1], 0x7C00);
    // Colour fill draws the cursor's shape in white.
    const RasterColor fill{0, 255, 255, 255};
    uint32_t d32[2] = {0, 0};
    SWHelper::DrawSpanPlain(1, TargetFormat::ARGB8888, d32, source, 2, 1, &fill, true);
    EXPECT_EQ(d32[0], 0x00FFFFFFu);
    EXPECT_EQ(d32[1], 0x007F7F7Fu);
    uint32_t none[1] = {7};
    SWHelper::DrawSpanPlain(2, TargetFormat::None, none, source, 1, 1, nullptr, false);
    EXPECT_EQ(none[0], 7u);
}
