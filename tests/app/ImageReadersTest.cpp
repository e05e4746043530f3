#include "app/Image.h"

#include "support/ImageFixtures.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// The fixtures come from independent encoders (tests/fixtures/images/
// make_fixtures.sh); their pictures follow the formulas below.
namespace {

constexpr int kW = 13;
constexpr int kH = 10;

using namespace ImageFixtures;

int Alpha(int x, int y)
{
    return (x * 20 + y * 13) & 255;
}
uint32_t Palette(int i)
{
    return Argb(255, (i * 53) & 255, (i * 97 + 11) & 255, (i * 31 + 200) & 255);
}
uint32_t Opaque(int x, int y)
{
    return Argb(255, Red(x, y), Green(x, y), Blue(x, y));
}
uint32_t Translucent(int x, int y)
{
    return Argb(Alpha(x, y), Red(x, y), Green(x, y), Blue(x, y));
}
uint32_t Grey(int v)
{
    return Argb(255, v, v, v);
}


std::vector<uint8_t> ReadFixture(const std::string& name)
{
    std::ifstream file(ImageFixtures::Path(name), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

using Decoder = void (Image::*)(const uint8_t*, size_t);

Decoder DecoderFor(const std::string& name)
{
    if (name.ends_with(".png")) {
        return &Image::DecodePNG;
    }
    if (name.ends_with(".jpg")) {
        return &Image::DecodeJPEG;
    }
    return &Image::DecodeGIF;
}

void Decode(Image& image, const std::string& name)
{
    const std::vector<uint8_t> bytes = ReadFixture(name);
    ASSERT_FALSE(bytes.empty()) << name;
    (image.*DecoderFor(name))(bytes.data(), bytes.size());
}

void ExpectPicture(const std::string& name, const std::function<uint32_t(int, int)>& expected)
{
    Image image;
    Decode(image, name);
    ASSERT_EQ(image.mWidth, kW) << name;
    ASSERT_EQ(image.mHeight, kH) << name;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            ASSERT_EQ(*image.GetPixelPtr(x, y), expected(x, y)) << name << " at " << x << "," << y;
        }
    }
}

// Binary PPM (P6) or PGM (P5) with maxval 255, as jpegtopnm writes it.
std::vector<uint32_t> ReadReference(const std::string& name)
{
    const std::vector<uint8_t> bytes = ReadFixture(name);
    const bool colour = bytes.size() > 1 && bytes[1] == '6';
    size_t at = 0;
    for (int fields = 0; fields < 4 && at < bytes.size(); ++at) {
        if (bytes[at] == '\n' || bytes[at] == ' ') {
            ++fields;
        }
    }
    std::vector<uint32_t> pixels;
    const size_t step = colour ? 3 : 1;
    for (; at + step <= bytes.size(); at += step) {
        const uint8_t* p = bytes.data() + at;
        pixels.push_back(colour ? Argb(255, p[0], p[1], p[2]) : Grey(p[0]));
    }
    return pixels;
}

} // namespace

TEST(ImageReadersTest, PngGreyOfEveryBitDepth)
{
    ExpectPicture("grey1.png", [](int x, int y) { return Grey((x + y * 3) % 2 * 255); });
    ExpectPicture("grey2.png", [](int x, int y) { return Grey((x + y * 3) % 4 * 85); });
    ExpectPicture("grey4.png", [](int x, int y) { return Grey((x + y * 3) % 16 * 17); });
    ExpectPicture("grey8.png", [](int x, int y) { return Grey(Red(x, y)); });
    ExpectPicture("grey16.png", [](int x, int y) { return Grey(Red(x, y)); });
}

TEST(ImageReadersTest, PngColourAndAlphaTypes)
{
    ExpectPicture("rgb8.png", Opaque);
    ExpectPicture("rgb16.png", Opaque);
    ExpectPicture("rgba8.png", Translucent);
    ExpectPicture("rgba16.png", Translucent);
    auto greyAlpha = [](int x, int y) { return Argb(Alpha(x, y), Red(x, y), Red(x, y), Red(x, y)); };
    ExpectPicture("greyalpha8.png", greyAlpha);
    ExpectPicture("greyalpha16.png", greyAlpha);
}

TEST(ImageReadersTest, PngPalettesWithAndWithoutTransparency)
{
    ExpectPicture("palette1.png", [](int x, int y) { return Palette((x + y * 3) % 2); });
    ExpectPicture("palette2.png", [](int x, int y) { return Palette((x + y * 3) % 4); });
    ExpectPicture("palette4.png", [](int x, int y) { return Palette((x + y * 3) % 16); });
    ExpectPicture("palette8trns.png", Translucent);
}

TEST(ImageReadersTest, PngInterlacedPassesAreCombined)
{
    ExpectPicture("rgba8interlaced.png", Translucent);
    ExpectPicture("rgb16interlaced.png", Opaque);
    ExpectPicture("grey4interlaced.png", [](int x, int y) { return Grey((x + y * 3) % 16 * 17); });
}

TEST(ImageReadersTest, JpegBaselineProgressiveAndGreyMatchAReferenceDecoder)
{
    for (const char* name : {"baseline", "progressive", "grey"}) {
        const std::vector<uint32_t> reference = ReadReference(std::string(name) + ".reference.pnm");
        ASSERT_EQ(reference.size(), size_t(kW * kH)) << name;
        Image image;
        Decode(image, std::string(name) + ".jpg");
        ASSERT_EQ(image.mWidth, kW) << name;
        ASSERT_EQ(image.mHeight, kH) << name;
        for (int i = 0; i < kW * kH; ++i) {
            for (int shift : {0, 8, 16}) {
                const int got = int(image.mPixels[i] >> shift & 255);
                const int want = int(reference[size_t(i)] >> shift & 255);
                ASSERT_NEAR(got, want, 2) << name << " pixel " << i;
            }
            ASSERT_EQ(image.mPixels[i] >> 24, 255u);
        }
    }
}

TEST(ImageReadersTest, JpegInCmykIsRefused)
{
    Image image;
    Decode(image, "cmyk.jpg");
    EXPECT_FALSE(image.HasPixels());
    EXPECT_EQ(image.mWidth, -1);
}

TEST(ImageReadersTest, GifPlainAndInterlaced)
{
    auto picture = [](int x, int y) { return Palette((x + y * 3) % 16); };
    ExpectPicture("plain87a.gif", picture);
    ExpectPicture("plain89a.gif", picture);
    ExpectPicture("interlaced.gif", picture);
    ExpectPicture("fourcolours.gif", [](int x, int y) { return Palette((x + y * 3) % 4); });
}

TEST(ImageReadersTest, GifTransparentIndexReadsAsZero)
{
    ExpectPicture("transparent.gif", [](int x, int y) {
        const int index = (x + y * 3) % 16;
        return index == 0 ? 0u : Palette(index);
    });
}

TEST(ImageReadersTest, JpegDeclaringAHugeSizeIsRefusedAtOnce)
{
    // The progressive fixture claiming 65000 x 65000 pixels.
    std::vector<uint8_t> data = ReadFixture("progressive.jpg");
    bool patched = false;
    for (size_t i = 0; i + 9 < data.size() && !patched; ++i) {
        if (data[i] == 0xFF && data[i + 1] == 0xC2) {
            const uint8_t size[4] = {0xFD, 0xE8, 0xFD, 0xE8};
            std::copy(size, size + 4, data.begin() + long(i + 5));
            patched = true;
        }
    }
    ASSERT_TRUE(patched);
    const auto started = std::chrono::steady_clock::now();
    Image image;
    image.DecodeJPEG(data.data(), data.size());
    EXPECT_EQ(image.mPixels, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST(ImageReadersTest, GifWithSeveralFramesKeepsTheLast)
{
    ExpectPicture("frames.gif", [](int x, int y) { return Palette((x + y * 3 + 1) % 16); });
}

namespace {

// Writes GIF files code by code, to make the damaged and odd ones no encoder
// would write.
class GifWriter
{
  public:
    GifWriter(int width, int height, int tableSize)
    {
        Bytes("GIF89a");
        U16(width);
        U16(height);
        int bits = 0;
        while ((2 << bits) < tableSize) {
            ++bits;
        }
        data.push_back(uint8_t(0x80 | bits));
        data.push_back(0);
        data.push_back(0);
        for (int i = 0; i < (2 << bits); ++i) {
            data.push_back(uint8_t(i * 40));
            data.push_back(uint8_t(i));
            data.push_back(uint8_t(255 - i));
        }
    }
    void Transparent(int index)
    {
        const uint8_t block[] = {0x21, 0xF9, 4, 1, 0, 0, uint8_t(index), 0};
        data.insert(data.end(), block, block + sizeof(block));
    }
    void Descriptor(int width, int height, bool interlaced = false)
    {
        data.push_back(0x2C);
        U16(0);
        U16(0);
        U16(width);
        U16(height);
        data.push_back(interlaced ? 0x40 : 0);
    }
    // Codes with the size each is written in.
    void Codes(int minimumCodeSize, const std::vector<std::pair<int, int>>& codes)
    {
        data.push_back(uint8_t(minimumCodeSize));
        std::vector<uint8_t> packed;
        uint32_t accumulator = 0;
        int bits = 0;
        for (auto [code, size] : codes) {
            accumulator |= uint32_t(code) << bits;
            bits += size;
            while (bits >= 8) {
                packed.push_back(uint8_t(accumulator));
                accumulator >>= 8;
                bits -= 8;
            }
        }
        if (bits > 0) {
            packed.push_back(uint8_t(accumulator));
        }
        for (size_t at = 0; at < packed.size(); at += 255) {
            const size_t n = std::min<size_t>(255, packed.size() - at);
            data.push_back(uint8_t(n));
            data.insert(data.end(), packed.begin() + long(at), packed.begin() + long(at + n));
        }
        data.push_back(0);
    }
    void End() { data.push_back(0x3B); }
    void Bytes(const char* text)
    {
        for (; *text; ++text)
            data.push_back(uint8_t(*text));
    }
    void U16(int v)
    {
        data.push_back(uint8_t(v));
        data.push_back(uint8_t(v >> 8));
    }

    std::vector<uint8_t> data;
};

uint32_t WriterColor(int i)
{
    return Argb(255, (i * 40) & 255, i, 255 - i);
}

} // namespace

TEST(ImageReadersTest, GifOfManyHugeFramesCostsWhatItsDataHolds)
{
    // 1000 frames each declaring 4000 x 4000 with a few codes of data; the
    // last one is the picture.
    GifWriter gif(4000, 4000, 4);
    for (int frame = 0; frame < 1000; ++frame) {
        gif.Descriptor(4000, 4000);
        gif.Codes(2, {{4, 3}, {frame % 4, 3}, {1, 3}, {5, 3}});
    }
    gif.End();
    ASSERT_LT(gif.data.size(), 20000u);
    const auto started = std::chrono::steady_clock::now();
    Image image;
    image.DecodeGIF(gif.data.data(), gif.data.size());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    ASSERT_EQ(image.mWidth, 4000);
    ASSERT_EQ(image.mHeight, 4000);
    EXPECT_EQ(image.mPixels[0], WriterColor(999 % 4));
    EXPECT_EQ(image.mPixels[1], WriterColor(1));
    EXPECT_EQ(image.mPixels[2], 0u);
    EXPECT_EQ(image.mPixels[4000 * 4000 - 1], 0u);
}

TEST(ImageReadersTest, GifInterlacedRowsFollowThePasses)
{
    // One pixel a row; row r gets colour index = its position in file order.
    GifWriter gif(1, 10, 16);
    gif.Descriptor(1, 10, true);
    std::vector<std::pair<int, int>> codes = {{16, 5}};
    for (int i = 0; i < 10; ++i) {
        codes.push_back({16, 5}); // a clear before each keeps the code size at 5
        codes.push_back({i, 5});
    }
    codes.push_back({17, 5});
    gif.Codes(4, codes);
    gif.End();
    Image image;
    image.DecodeGIF(gif.data.data(), gif.data.size());
    ASSERT_EQ(image.mHeight, 10);
    const int fileOrder[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(image.mPixels[fileOrder[i]], WriterColor(i)) << i;
    }
}

TEST(ImageReadersTest, GifDataThatEndsEarlyLeavesTheRestZero)
{
    GifWriter gif(4, 2, 4);
    gif.Transparent(3);
    gif.Descriptor(4, 2);
    gif.Codes(2, {{4, 3}, {1, 3}, {3, 3}, {2, 3}, {5, 4}});
    gif.End();
    Image image;
    image.DecodeGIF(gif.data.data(), gif.data.size());
    ASSERT_EQ(image.mWidth, 4);
    EXPECT_EQ(image.mPixels[0], WriterColor(1));
    EXPECT_EQ(image.mPixels[1], 0u); // the transparent index
    EXPECT_EQ(image.mPixels[2], WriterColor(2));
    for (int i = 3; i < 8; ++i) {
        EXPECT_EQ(image.mPixels[i], 0u) << i;
    }
}

TEST(ImageReadersTest, GifIndexBeyondTheTableIsOpaqueBlack)
{
    // A two-entry table but a code size of 3 lets the data name index 5.
    GifWriter gif(2, 1, 2);
    gif.Descriptor(2, 1);
    gif.Codes(3, {{8, 4}, {5, 4}, {1, 4}, {9, 4}});
    gif.End();
    Image image;
    image.DecodeGIF(gif.data.data(), gif.data.size());
    ASSERT_EQ(image.mWidth, 2);
    EXPECT_EQ(image.mPixels[0], 0xFF000000u);
    EXPECT_EQ(image.mPixels[1], WriterColor(1));
}

TEST(ImageReadersTest, GifFullTableStopsAtTheNextCode)
{
    // Root codes only: each adds a table entry until all 4096 are used.
    const int pixels = 5000;
    GifWriter gif(pixels, 1, 4);
    gif.Descriptor(pixels, 1);
    std::vector<std::pair<int, int>> codes = {{4, 3}};
    int next = 6;
    int size = 3;
    for (int i = 0; i < pixels; ++i) {
        codes.push_back({1 + i % 3, size});
        if (i > 0 && next < 4096) {
            ++next;
            if ((next & ((1 << size) - 1)) == 0 && next < 4096) {
                ++size;
            }
        }
    }
    gif.Codes(2, codes);
    gif.End();
    Image image;
    image.DecodeGIF(gif.data.data(), gif.data.size());
    ASSERT_EQ(image.mWidth, pixels);
    // 4090 entries come from codes 1 .. 4090; the first code adds none, so
    // 4091 codes decode and everything after stays 0.
    EXPECT_EQ(image.mPixels[4090], WriterColor(1 + 4090 % 3));
    EXPECT_EQ(image.mPixels[4091], 0u);
    EXPECT_EQ(image.mPixels[pixels - 1], 0u);
}

TEST(ImageReadersTest, GifWithAnImpossibleCodeSizeOrSizeIsEmpty)
{
    for (int minimum : {0, 12, 200}) {
        GifWriter gif(2, 2, 4);
        gif.Descriptor(2, 2);
        gif.Codes(minimum, {{1, 3}});
        gif.End();
        Image image;
        image.DecodeGIF(gif.data.data(), gif.data.size());
        EXPECT_FALSE(image.HasPixels()) << minimum;
    }
    for (auto [w, h] : {std::pair{0, 5}, std::pair{65535, 65535}}) {
        GifWriter gif(2, 2, 4);
        gif.Descriptor(w, h);
        gif.Codes(2, {{4, 3}, {1, 3}});
        gif.End();
        Image image;
        image.DecodeGIF(gif.data.data(), gif.data.size());
        EXPECT_FALSE(image.HasPixels()) << w;
    }
}

TEST(ImageReadersTest, GifSelfReferenceAfterClearStopsDecoding)
{
    // After a clear only a root code may follow; the next free code there
    // would make an entry that names itself.
    GifWriter gif(3, 1, 4);
    gif.Descriptor(3, 1);
    gif.Codes(2, {{4, 3}, {6, 3}, {6, 3}, {6, 3}});
    gif.End();
    Image image;
    image.DecodeGIF(gif.data.data(), gif.data.size());
    ASSERT_EQ(image.mWidth, 3);
    EXPECT_EQ(image.mPixels[0], 0u);
}

TEST(ImageReadersTest, CachedImageReadsPixelsAndExtraData)
{
    std::vector<uint8_t> bytes;
    auto int32 = [&bytes](int32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        }
    };
    int32(2);
    int32(1);
    int32(int32_t(0x80112233));
    int32(int32_t(0xFF445566));
    int32(12);
    for (int v : {'O', 'S', 'I', 'Z'}) {
        bytes.push_back(uint8_t(v));
    }
    int32(800);
    int32(600);
    Image image;
    image.DecodeCached(bytes.data(), bytes.size());
    ASSERT_EQ(image.mWidth, 2);
    EXPECT_EQ(image.mPixels[0], 0x80112233u);
    EXPECT_EQ(image.mPixels[1], 0xFF445566u);
    ASSERT_EQ(image.mExtraSize, 12);
    EXPECT_EQ(image.mExtra[4], 0x20);

    bytes.resize(bytes.size() - 1); // the extra data is cut short
    image.DecodeCached(bytes.data(), bytes.size());
    EXPECT_FALSE(image.HasPixels());

    bytes.resize(8 + 8);
    int32(0); // no extra data
    image.DecodeCached(bytes.data(), bytes.size());
    ASSERT_TRUE(image.HasPixels());
    EXPECT_EQ(image.mExtraSize, 0);
    EXPECT_EQ(image.mExtra, nullptr);

    bytes[0] = 0xFF; // width 255, far beyond the bytes
    image.DecodeCached(bytes.data(), bytes.size());
    EXPECT_FALSE(image.HasPixels());
    bytes[3] = 0xFF; // negative width
    image.DecodeCached(bytes.data(), bytes.size());
    EXPECT_FALSE(image.HasPixels());
}

namespace {

const char* const kAllFixtures[] = {"grey1.png",
                                    "grey2.png",
                                    "grey4.png",
                                    "grey8.png",
                                    "grey16.png",
                                    "rgb8.png",
                                    "rgb16.png",
                                    "rgba8.png",
                                    "rgba16.png",
                                    "greyalpha8.png",
                                    "greyalpha16.png",
                                    "palette1.png",
                                    "palette2.png",
                                    "palette4.png",
                                    "palette8trns.png",
                                    "rgba8interlaced.png",
                                    "rgb16interlaced.png",
                                    "grey4interlaced.png",
                                    "baseline.jpg",
                                    "progressive.jpg",
                                    "grey.jpg",
                                    "cmyk.jpg",
                                    "plain87a.gif",
                                    "plain89a.gif",
                                    "interlaced.gif",
                                    "transparent.gif",
                                    "fourcolours.gif",
                                    "frames.gif"};

// Whatever a damaged file gives, the image is either empty or whole: its
// pixel array matches its size (the sanitizer build checks every access).
void ExpectConsistent(const Image& image, const std::string& what)
{
    if (image.HasPixels()) {
        ASSERT_GT(image.mWidth, 0) << what;
        ASSERT_GT(image.mHeight, 0) << what;
        volatile uint32_t sum = 0;
        for (int i = 0; i < image.mWidth * image.mHeight; ++i) {
            sum = sum + image.mPixels[i];
        }
    }
}

} // namespace

TEST(ImageReadersTest, TruncatedFilesNeverReadPastTheirEnd)
{
    for (const char* name : kAllFixtures) {
        const std::vector<uint8_t> whole = ReadFixture(name);
        ASSERT_FALSE(whole.empty()) << name;
        for (size_t length = 0; length < whole.size(); ++length) {
            // A copy of exactly that length, so reading past it is caught.
            std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(length));
            Image image;
            (image.*DecoderFor(name))(cut.data(), cut.size());
            ExpectConsistent(image, std::string(name) + " cut at " + std::to_string(length));
        }
    }
}

TEST(ImageReadersTest, CorruptedFilesLeaveAConsistentImage)
{
    std::mt19937 random(1234);
    for (const char* name : kAllFixtures) {
        const std::vector<uint8_t> whole = ReadFixture(name);
        for (int round = 0; round < 150; ++round) {
            std::vector<uint8_t> damaged = whole;
            const int flips = 1 + int(random() % 6);
            for (int i = 0; i < flips; ++i) {
                damaged[random() % damaged.size()] = uint8_t(random());
            }
            Image image;
            (image.*DecoderFor(name))(damaged.data(), damaged.size());
            ExpectConsistent(image, std::string(name) + " round " + std::to_string(round));
        }
    }
}

TEST(ImageReadersTest, TruncatedPngAndJpegAreRefused)
{
    for (const char* name : {"rgba8.png", "baseline.jpg", "progressive.jpg"}) {
        std::vector<uint8_t> bytes = ReadFixture(name);
        bytes.resize(bytes.size() * 2 / 3);
        Image image;
        (image.*DecoderFor(name))(bytes.data(), bytes.size());
        EXPECT_FALSE(image.HasPixels()) << name;
    }
}
