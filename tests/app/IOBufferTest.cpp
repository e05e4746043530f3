#include "app/IOBuffer.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<uint8_t> Bytes(const IOBuffer& buffer)
{
    return std::vector<uint8_t>(buffer.GetData(), buffer.GetData() + buffer.GetSize());
}

// A buffer holding exactly these bytes, cursor at the start.
void LoadBytes(IOBuffer& buffer, const TemporaryFolder& folder, const std::string& bytes)
{
    folder.WriteText("input.bin", bytes);
    buffer.Load(String((folder / "input.bin").c_str()));
}

// A string record as stored: the int32 length, then the bytes.
std::string LengthThen(uint32_t length, const std::string& text)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(char(length >> shift));
    return bytes + text;
}
} // namespace

TEST(IOBufferTest, ValuesAreLittleEndianWithoutPadding)
{
    IOBuffer buffer;
    buffer.WriteInt(1);
    buffer.WriteFloat(1.0f);
    buffer.WriteBool(1);
    buffer.WriteString("ab");
    EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x01, 0x03,
                                                   0x00, 0x00, 0x00, 0x61, 0x62, 0x00}));
    EXPECT_EQ(buffer.GetCursor(), 16);
}

TEST(IOBufferTest, OnlyExactlyOneIsTrue)
{
    IOBuffer buffer;
    buffer.WriteBool(2);
    buffer.WriteBool(true);
    buffer.WriteInt(-2);
    EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{0x00, 0x01, 0xFE, 0xFF, 0xFF, 0xFF}));

    TemporaryFolder folder;
    LoadBytes(buffer, folder, std::string("\x02\x01", 2));
    EXPECT_FALSE(buffer.ReadBool());
    EXPECT_TRUE(buffer.ReadBool());
}

TEST(IOBufferTest, ReadsRoundTripThroughAFile)
{
    TemporaryFolder folder;
    String path((folder / "values.dat").c_str());
    IOBuffer out;
    out.WriteInt(-123456);
    out.WriteFloat(2.5f);
    out.WriteString("hello");
    out.WriteChar(0xAB);
    ASSERT_TRUE(out.Save(path));

    IOBuffer in;
    in.Load(path);
    EXPECT_EQ(in.ReadInt(), -123456);
    EXPECT_FLOAT_EQ(in.ReadFloat(), 2.5f);
    EXPECT_STREQ(in.ReadString().CStr(), "hello");
    uint8_t last = 0;
    in.ReadBytes(&last, 1);
    EXPECT_EQ(last, 0xAB);
    EXPECT_FALSE(in.HasError());
}

TEST(IOBufferTest, ReadsPastTheEnd)
{
    TemporaryFolder folder;
    IOBuffer buffer;
    LoadBytes(buffer, folder, std::string("\x07\x00", 2));
    EXPECT_EQ(buffer.ReadInt(), 0);
    EXPECT_TRUE(buffer.HasError());

    // Exactly at the end: 0, but not an error.
    LoadBytes(buffer, folder, std::string("\x05\x00\x00\x00", 4));
    EXPECT_EQ(buffer.ReadInt(), 5);
    EXPECT_EQ(buffer.ReadInt(), 0);
    EXPECT_FALSE(buffer.HasError());

    LoadBytes(buffer, folder, "12345");
    uint8_t bytes[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    buffer.ReadBytes(bytes, 8);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 8), std::vector<uint8_t>(8, 0));
    EXPECT_TRUE(buffer.HasError());
    EXPECT_EQ(buffer.GetCursor(), 0);
}

TEST(IOBufferTest, MissingFileGivesAnEmptyBuffer)
{
    TemporaryFolder folder;
    IOBuffer buffer;
    buffer.WriteInt(42);
    buffer.Load(String((folder / "missing.dat").c_str()));
    EXPECT_EQ(buffer.GetSize(), 0);
    EXPECT_EQ(buffer.ReadInt(), 0);
    EXPECT_FALSE(buffer.ReadBool());
    EXPECT_TRUE(buffer.ReadString().IsEmpty());
}

TEST(IOBufferTest, HostileStringLengthsAreRefused)
{
    const std::string inputs[] = {
        LengthThen(10, "abc"),         // 10 with only 3 bytes behind it
        LengthThen(0x7FFFFFFF, "abc"), // the largest length
        LengthThen(0x80000000, "abc"), // negative
        LengthThen(0, "abc"),          // no room even for the NUL
        std::string("\x03\x00", 2),    // the length itself cut short
    };
    TemporaryFolder folder;
    for (const std::string& input : inputs) {
        IOBuffer buffer;
        LoadBytes(buffer, folder, input);
        EXPECT_TRUE(buffer.ReadString().IsEmpty());
        EXPECT_TRUE(buffer.HasError());
    }
}

TEST(IOBufferTest, StringWithoutItsNulStopsAtItsLength)
{
    TemporaryFolder folder;
    IOBuffer buffer;
    LoadBytes(buffer, folder, LengthThen(2, "abcd"));
    EXPECT_STREQ(buffer.ReadString().CStr(), "ab");
    EXPECT_EQ(buffer.GetCursor(), 6);
    EXPECT_FALSE(buffer.HasError());
}

TEST(IOBufferTest, ReadLineEndsAtCarriageReturnAndDropsLineFeeds)
{
    TemporaryFolder folder;
    IOBuffer buffer;
    LoadBytes(buffer, folder, "a\r\nb\nc");
    EXPECT_STREQ(buffer.ReadLine().CStr(), "a");
    EXPECT_STREQ(buffer.ReadLine().CStr(), "bc");
    EXPECT_STREQ(buffer.ReadLine().CStr(), "");
}

TEST(IOBufferTest, ReadStatementFoldsBlanksOutsideQuotes)
{
    TemporaryFolder folder;
    IOBuffer buffer;
    LoadBytes(buffer, folder, "  A  =   \"x  y\" ;B;\t\r\n C\t\tD 'p;q'");
    EXPECT_STREQ(buffer.ReadStatement().CStr(), "A = \"x  y\" ");
    EXPECT_STREQ(buffer.ReadStatement().CStr(), "B");
    EXPECT_STREQ(buffer.ReadStatement().CStr(), "C D 'p;q'");
    EXPECT_STREQ(buffer.ReadStatement().CStr(), "");
}

TEST(IOBufferTest, KeyScramblesTheFileButNotTheBuffer)
{
    TemporaryFolder folder;
    String path((folder / "secret.dat").c_str());
    IOBuffer buffer;
    buffer.SetKey("k");
    buffer.WriteString("kk");
    std::vector<uint8_t> plain = Bytes(buffer);
    ASSERT_TRUE(buffer.Save(path));
    EXPECT_EQ(Bytes(buffer), plain);
    // Every byte is XORed, including bytes equal to the key byte.
    EXPECT_EQ(folder.ReadText("secret.dat"), std::string("\x68\x6B\x6B\x6B\x00\x00\x6B", 7));
    ASSERT_TRUE(buffer.Save(path));

    IOBuffer reread;
    reread.SetKey("k");
    reread.Load(path);
    EXPECT_EQ(Bytes(reread), plain);
}

TEST(IOBufferTest, SaveReportsFailureAndKeepsTheOldFile)
{
    TemporaryFolder folder;
    IOBuffer buffer;
    buffer.WriteInt(1);
    EXPECT_FALSE(buffer.Save(String((folder / "no/such/folder/file.dat").c_str())));
    EXPECT_FALSE(buffer.Save(String()));
}
