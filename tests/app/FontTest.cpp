#include "app/Font.h"
#include "app/FXImage.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Sprite.h"
#include "app/TextureSplatter.h"

#include "support/CachedImageFile.h"
#include "support/TemporaryFolder.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace {

// One page, 32 x 16: 'A' at (0, 0, 6, 10), 'B' at (8, 0, 5, 10) and '-' at
// (16, 4, 4, 2), opaque white; everything else transparent.
constexpr int kPageW = 32;
constexpr int kPageH = 16;

std::vector<uint32_t> PagePixels()
{
    std::vector<uint32_t> pixels(kPageW * kPageH, 0);
    const int rects[3][4] = {{0, 0, 6, 10}, {8, 0, 5, 10}, {16, 4, 4, 2}};
    for (const auto& r : rects) {
        for (int y = r[1]; y < r[1] + r[3]; ++y) {
            for (int x = r[0]; x < r[0] + r[2]; ++x) {
                pixels[size_t(y * kPageW + x)] = 0xFFFFFFFFu;
            }
        }
    }
    return pixels;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file << bytes;
}

void PutInt(std::string& out, int32_t v)
{
    out.append(reinterpret_cast<const char*>(&v), 4);
}

void PutFloat(std::string& out, float v)
{
    out.append(reinterpret_cast<const char*>(&v), 4);
}

std::string DescriptionRecord(char code, float x, float y, float w, float h, int advance)
{
    std::string record(1, code);
    PutInt(record, 0);
    for (float v : {x, y, w, h}) {
        PutFloat(record, v);
    }
    PutInt(record, advance);
    PutInt(record, 0);
    PutInt(record, 0);
    return record;
}

class FontTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        theGraphics.ResetState();
        theGraphics.mMaxTextureWidth = 2048;
        theGraphics.mMaxTextureHeight = 2048;
    }
    void TearDown() override
    {
        theTextureSplatter.Release();
        theGraphics.ResetState();
    }

    // The same four glyphs in each of the three file forms.
    std::string WriteTagForm()
    {
        WriteCachedImage(folder / "F.cached", kPageW, kPageH, PagePixels());
        folder.WriteText(
            "F.font", "<HEIGHT>10</HEIGHT><SPACE>4</SPACE>"
                      "<CHAR><ID>65</ID><WIDTH>7</WIDTH><OFFSET>1,1</OFFSET><RECT>0,0-6,10</RECT></CHAR>"
                      "<CHAR><ID>66</ID><WIDTH>6</WIDTH><OFFSET>1,1</OFFSET><RECT>8,0-13,10</RECT></CHAR>"
                      "<CHAR><ID>45</ID><WIDTH>5</WIDTH><OFFSET>1,1</OFFSET><RECT>16,4-20,6</RECT></CHAR>");
        return folder / "F";
    }
    std::string WriteBinaryForm(int glyphCount = 4)
    {
        WriteCachedImage(folder / "G/data0.cached", kPageW, kPageH, PagePixels());
        std::string bytes;
        PutInt(bytes, 1);
        PutInt(bytes, glyphCount);
        bytes += DescriptionRecord('A', 0, 0, 6, 10, 7);
        bytes += DescriptionRecord('B', 8, 0, 5, 10, 6);
        bytes += DescriptionRecord('-', 16, 4, 4, 2, 5);
        bytes += DescriptionRecord(' ', 0, 0, 0, 0, 4);
        WriteBytes(folder / "G/font.description", bytes);
        return folder / "G";
    }
    std::string WriteScriptForm()
    {
        WriteCachedImage(folder / "layer.cached", kPageW, kPageH, PagePixels());
        folder.WriteText("H.txt",
                         "LayerSetImage 0 'layer';\r\n"
                         "Define CharList chars ('A', 'B', '-', ' ');\r\n"
                         "Define WidthList widths (7, 6, 5, 4);\r\n"
                         "Define RectList rects ((0,0,6,10), (8,0,5,10), (16,4,4,2), (24,0,1,1));\r\n"
                         "Define OffsetList offsets ((1,1), (1,1), (1,1), (0,0));\r\n");
        return folder / "H";
    }

    TemporaryFolder folder;
};

// A font of equal-width letters (advance 10), '-' and a space of 5, built
// without files.
void MakeMonoFont(Font& font)
{
    for (char c = 'a'; c <= 'z'; ++c) {
        font.AddGlyph(c, -1, 0, 0, 8, 8, 10, 0, 0);
    }
    font.AddGlyph('-', -1, 0, 0, 8, 8, 10, 0, 0);
    font.AddGlyph(' ', -1, 0, 0, 0, 0, 5, 0, 0);
    font.mLineHeight = 12;
    font.mLoaded = 1;
}

} // namespace

TEST_F(FontTest, TheThreeFileFormsGiveTheSameGlyphs)
{
    const std::string names[] = {WriteTagForm(), WriteBinaryForm(), WriteScriptForm()};
    for (const std::string& name : names) {
        Font font;
        font.Load(name.c_str());
        ASSERT_TRUE(font.mLoaded) << name;
        EXPECT_FLOAT_EQ(font.mLineHeight, 10) << name;
        EXPECT_FLOAT_EQ(font.mSpaceWidth, 4) << name;
        EXPECT_EQ(font.GetCharWidth('A'), 7) << name;
        EXPECT_EQ(font.GetCharWidth('B'), 6) << name;
        EXPECT_EQ(font.GetCharWidth('-'), 5) << name;
        EXPECT_EQ(font.GetCharWidth('C'), 0) << name;
        EXPECT_EQ(font.GetWidth("AB A-B"), 7 + 6 + 4 + 7 + 5 + 6) << name;
        EXPECT_EQ(std::string(font.WrapText("AB AB", 15).CStr()), "AB\nAB") << name;
        for (char c : {'A', 'B', '-'}) {
            const FontGlyph& glyph = font.mGlyphs[uint8_t(c)];
            ASSERT_NE(glyph.sprite, nullptr) << name << " " << c;
            EXPECT_TRUE(glyph.sprite->mLoaded) << name << " " << c;
            Point offset;
            font.GetCharOffset(offset, c);
            EXPECT_EQ(offset.x, 0) << name;
            EXPECT_EQ(offset.y, 0) << name;
        }
        EXPECT_EQ(font.mGlyphs[uint8_t('A')].sprite->mWidth,
                  name == names[2] ? 7 : 6); // the script keeps a pixel of border
    }
}

TEST_F(FontTest, ScriptFormKeepsWhiteGlyphImagesCroppedFromAnEvenCorner)
{
    Font font;
    font.Load(WriteScriptForm().c_str());
    const Image* dash = font.GetCharImage('-');
    ASSERT_NE(dash, nullptr);
    // 4 x 2 plus the border of 1: visible from (1, 1); the crop starts at (0, 0).
    EXPECT_EQ(dash->mWidth, 6);
    EXPECT_EQ(dash->mHeight, 4);
    EXPECT_EQ(*dash->GetPixelPtr(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(*dash->GetPixelPtr(0, 0) >> 24, 0u);
    EXPECT_EQ(font.GetCharImage('Z'), nullptr);
}

TEST_F(FontTest, ScriptFormWithAnEmptyFileLeavesTheAtlasStateAlone)
{
    folder.WriteText("E.txt", "");
    TextureSplatter other;
    theGraphics.mActiveAtlas = &other;
    theGraphics.mUseAtlas = false;
    Font font;
    font.Load((folder / "E").c_str());
    EXPECT_EQ(theGraphics.mActiveAtlas, &other);
    EXPECT_FALSE(theGraphics.mUseAtlas);
    EXPECT_TRUE(font.mLoaded);
    EXPECT_EQ(font.GetWidth("anything"), 0);
    theGraphics.mActiveAtlas = nullptr;
}

TEST_F(FontTest, FirstDefinitionOfACharacterWins)
{
    folder.WriteText("S.font", "<SPACE>5</SPACE><CHAR><ID>32</ID><WIDTH>9</WIDTH></CHAR>"
                               "<CHAR><ID>65</ID><WIDTH>3</WIDTH><RECT>0,0-2,2</RECT></CHAR>"
                               "<CHAR><ID>321</ID><WIDTH>8</WIDTH><RECT>0,0-2,2</RECT></CHAR>"
                               "<CHAR><WIDTH>8</WIDTH></CHAR>");
    WriteCachedImage(folder / "S.cached", 4, 4, std::vector<uint32_t>(16, 0xFFFFFFFFu));
    Font font;
    font.Load((folder / "S").c_str());
    EXPECT_EQ(font.GetCharWidth(' '), 5);
    EXPECT_EQ(font.GetCharWidth('A'), 3); // 321 is 'A' modulo 256, defined later
    font.AddGlyph('A', 0, 0, 0, 1, 1, 20, 0, 0);
    EXPECT_EQ(font.GetCharWidth('A'), 3);
}

TEST_F(FontTest, WidthIsTheWidestLineRounded)
{
    Font font;
    font.AddGlyph('a', -1, 0, 0, 1, 1, 10.4f, 0, 0);
    font.AddGlyph('b', -1, 0, 0, 1, 1, 10.5f, 0, 0);
    EXPECT_EQ(font.GetWidth("a"), 0); // nothing before loading
    font.mLoaded = 1;
    EXPECT_EQ(font.GetWidth(""), 0);
    EXPECT_EQ(font.GetWidth("a"), 10);
    EXPECT_EQ(font.GetWidth("b"), 11);
    EXPECT_EQ(font.GetWidth("a\nbbb"), 32);
    EXPECT_EQ(font.GetWidth("bbb\na"), 32);
}

TEST_F(FontTest, ExtentCountsLinesWithGlyphsAndTheLastGlyphsOverhang)
{
    Font font;
    MakeMonoFont(font);
    EXPECT_EQ(font.GetTextExtent("   ").x, 0);
    EXPECT_EQ(font.GetTextExtent("   ").y, 0);
    EXPECT_EQ(font.GetTextExtent("ab").x, 20);
    EXPECT_EQ(font.GetTextExtent("ab").y, 12);
    EXPECT_EQ(font.GetTextExtent("ab\n \ncd").y, 36);

    Font script;
    script.Load(WriteScriptForm().c_str());
    // 'A' advances 7; its picture with the border is 8 wide.
    EXPECT_EQ(script.GetTextExtent("A").x, 8);
}

TEST_F(FontTest, WrapBreaksAtTheLastBlankAndDropsBlanksAfterIt)
{
    Font font;
    MakeMonoFont(font);
    EXPECT_EQ(std::string(font.WrapText("abc def", 40).CStr()), "abc\ndef");
    EXPECT_EQ(std::string(font.WrapText("abc  def", 35).CStr()), "abc\ndef");
    EXPECT_EQ(std::string(font.WrapText("ab-cd", 35).CStr()), "ab\ncd");
    EXPECT_EQ(std::string(font.WrapText("short", 100).CStr()), "short");
    const String original("abc def");
    font.WrapText(original, 40);
    EXPECT_EQ(std::string(original.CStr()), "abc def");
    Font unloaded;
    EXPECT_TRUE(unloaded.WrapText("abc", 5).IsEmpty());
}

TEST_F(FontTest, WrapBreaksALongWordBeforeTheCharacterThatDoesNotFit)
{
    Font font;
    MakeMonoFont(font);
    EXPECT_EQ(std::string(font.WrapText("abcdef", 25).CStr()), "ab\ncd\nef");
    // Narrower than one character: one character a line, none lost.
    EXPECT_EQ(std::string(font.WrapText("abc", 5).CStr()), "a\nb\nc");
    // A break never reaches back past an explicit line end.
    EXPECT_EQ(std::string(font.WrapText("abc d\nabcdef", 45).CStr()), "abc d\nabcd\nef");
}

TEST_F(FontTest, CharPositionsFollowThePen)
{
    Font font;
    MakeMonoFont(font);
    font.mGlyphs[uint8_t('b')].xOffset = 2;
    Point positions[5];
    font.GetCharPositions("ab\n b", positions);
    EXPECT_EQ(positions[0].x, 0);
    EXPECT_EQ(positions[1].x, 12);
    EXPECT_EQ(positions[2].y, 12);
    EXPECT_EQ(positions[3].x, 0);
    EXPECT_EQ(positions[3].y, 12);
    EXPECT_EQ(positions[4].x, 7);
}

TEST_F(FontTest, AddSpacingWidensEveryGlyphAndTheLines)
{
    Font font;
    MakeMonoFont(font);
    font.AddSpacing(2, 3);
    EXPECT_EQ(font.GetCharWidth('a'), 12);
    EXPECT_EQ(font.GetCharWidth(' '), 7);
    EXPECT_FLOAT_EQ(font.mLineHeight, 15);
}

TEST_F(FontTest, BinaryFormStopsAtAnIncompleteRecord)
{
    const std::string name = WriteBinaryForm(40); // declares more records than it has
    Font font;
    font.Load(name.c_str());
    EXPECT_EQ(font.GetCharWidth('-'), 5);
    EXPECT_FLOAT_EQ(font.mLineHeight, 10);
    EXPECT_FLOAT_EQ(font.mYOffset, 0);

    std::string hostile;
    PutInt(hostile, 1 << 30);
    PutInt(hostile, 1);
    WriteBytes(folder / "G/font.description", hostile);
    Font refused;
    refused.Load(name.c_str());
    EXPECT_TRUE(refused.mLoaded);
    EXPECT_EQ(refused.mPages.size(), 0u);
    EXPECT_EQ(refused.GetCharWidth('A'), 0);
}

TEST_F(FontTest, DamagedFilesGiveFewerGlyphsButNeverFail)
{
    // The part that names the page images stays whole: a font naming a page
    // that is not there ends the program, as any missing image does.
    struct Form
    {
        std::string base;
        std::string file;
        size_t keep;
    };
    const Form forms[] = {{WriteTagForm(), ".font", 0},
                          {WriteBinaryForm(), "/font.description", 4},
                          {WriteScriptForm(), ".txt", 26}};
    std::mt19937 random(99);
    for (const Form& form : forms) {
        const std::string path = form.base + form.file;
        std::ifstream in(path, std::ios::binary);
        const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (int round = 0; round < 60; ++round) {
            std::string damaged = whole.substr(0, form.keep + random() % (whole.size() - form.keep + 1));
            for (int i = 0; i < 4 && damaged.size() > form.keep; ++i) {
                damaged[form.keep + random() % (damaged.size() - form.keep)] = char(random());
            }
            WriteBytes(path, damaged);
            Font font;
            font.Load(form.base.c_str());
            EXPECT_TRUE(font.mLoaded);
            EXPECT_LE(font.mPages.size(), 1u);
        }
    }
}

TEST_F(FontTest, OutOfRangeSpaceAndCharacterWidthsAreRefused)
{
    // Each form with one huge value: the widths stay those of the whole font.
    struct Case
    {
        std::string file;
        std::string from;
        std::string to;
    };
    const std::string tag = WriteTagForm();
    const std::string script = WriteScriptForm();
    const Case cases[] = {
        {tag + ".font", "<SPACE>4</SPACE>", "<SPACE>4e30</SPACE>"},
        {tag + ".font", "<HEIGHT>10</HEIGHT>", "<HEIGHT>-4e30</HEIGHT>"},
        {script + ".txt", "(7, 6, 5, 4)", "(7, 6, 5, 2000000000)"},
        {script + ".txt", "(7, 6, 5, 4)", "(2000000000, 6, 5, 4)"},
    };
    for (const Case& c : cases) {
        std::ifstream in(c.file, std::ios::binary);
        const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        std::string changed = whole;
        changed.replace(changed.find(c.from), c.from.size(), c.to);
        WriteBytes(c.file, changed);
        Font font;
        font.Load(c.file.substr(0, c.file.rfind('.')).c_str());
        EXPECT_TRUE(font.mLoaded) << c.to;
        EXPECT_LE(font.GetWidth("AB A-B"), 7 + 6 + 4 + 7 + 5 + 6) << c.to;
        EXPECT_LE(font.GetCharWidth(' '), 4) << c.to;
        EXPECT_LE(font.GetTextExtent("AB\nAB").y, 20) << c.to;
        WriteBytes(c.file, whole);
    }
    // A width given alone in the script goes the same way.
    folder.WriteText("W.txt", "LayerSetCharWidths (' ') (3000000000);\r\n");
    Font font;
    font.Load((folder / "W").c_str());
    EXPECT_EQ(font.GetCharWidth(' '), 0);
}

TEST_F(FontTest, TextIntoAnImageFromTheGlyphPictures)
{
    Font font;
    font.Load(WriteScriptForm().c_str());
    FXImage text;
    text.CreateFromText("A-", &font, 2, false);
    const Point extent = font.GetTextExtent("A-");
    EXPECT_EQ(text.mWidth, int(extent.x) + 4);
    EXPECT_EQ(text.mHeight, int(extent.y) + 4);
    // 'A' is drawn from (2, 2) with its border: its first visible pixel at (3, 3).
    EXPECT_EQ(*text.GetPixelPtr(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(*text.GetPixelPtr(2, 2) >> 24, 0u); // transparent glyph pixels are drawn too
    EXPECT_EQ(*text.GetPixelPtr(8, 12), 0xFFFFFFFFu);

    FXImage raw;
    raw.CreateFromText("A", &font, 0, true);
    EXPECT_EQ(*raw.GetPixelPtr(1, 1), 0xFFFFFFFFu);
}
