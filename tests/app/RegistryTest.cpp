#include "app/Registry.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {
String PathIn(const TemporaryFolder& folder, const std::string& name)
{
    return String((folder / name).c_str());
}
} // namespace

TEST(RegistryTest, SavesInFirstSetOrderWithCarriageReturnLineFeed)
{
    TemporaryFolder folder;
    {
        Registry registry;
        registry.Load(PathIn(folder, "config.cfg"));
        registry.SetInt("Width", 800);
        registry.SetBool("Full", 1);
        registry.SetFloat("Gamma", 0.5f);
        registry.SetInt("width", 1024);
        EXPECT_TRUE(registry.Save());
    }
    EXPECT_EQ(folder.ReadText("config.cfg"), "Width=1024\r\nFull=true\r\nGamma=0.500000\r\n");
}

TEST(RegistryTest, ReadingStopsAtTheFirstEmptyLine)
{
    TemporaryFolder folder;
    folder.WriteText("in.cfg", "a=1\r\nb\r\nc=x=y\r\n\r\nd=4\r\n");
    Registry registry;
    registry.SetNoSave(true);
    registry.Load(PathIn(folder, "in.cfg"));
    EXPECT_STREQ(registry.GetString("a").CStr(), "1");
    EXPECT_STREQ(registry.GetString("c").CStr(), "x=y");
    EXPECT_EQ(registry.Find("b"), nullptr);
    EXPECT_EQ(registry.Find("d"), nullptr);
    EXPECT_EQ(registry.GetInt("missing"), 0);
    EXPECT_TRUE(registry.GetString("missing").IsEmpty());
}

TEST(RegistryTest, KeysMatchWithoutCaseAndTheFirstDuplicateWins)
{
    TemporaryFolder folder;
    folder.WriteText("dup.cfg", "Width=1\r\nWIDTH=2\r\n");
    {
        Registry registry;
        registry.Load(PathIn(folder, "dup.cfg"));
        ASSERT_NE(registry.Find("width"), nullptr);
        EXPECT_STREQ(registry.Find("width")->key.CStr(), "Width");
        EXPECT_EQ(registry.GetInt("wIdTh"), 1);
    }
    // Both lines survive the save made by the destructor.
    EXPECT_EQ(folder.ReadText("dup.cfg"), "Width=1\r\nWIDTH=2\r\n");
}

TEST(RegistryTest, TypedValues)
{
    Registry registry;
    registry.SetString("yes", "yes");
    registry.SetString("upper", "TRUE");
    registry.SetString("zero", "0");
    EXPECT_TRUE(registry.GetBool("yes"));
    EXPECT_TRUE(registry.GetBool("upper"));
    EXPECT_FALSE(registry.GetBool("zero"));
    EXPECT_FALSE(registry.GetBool("missing"));

    registry.SetString("number", "  -42abc");
    EXPECT_EQ(registry.GetInt("number"), -42);
    registry.SetString("number", "x1");
    EXPECT_EQ(registry.GetInt("number"), 0);
}

TEST(RegistryTest, ByteArrays)
{
    Registry registry;
    const int8_t bytes[] = {-1, 0, int8_t(200)};
    registry.SetByteArray("bytes", bytes, 3);
    EXPECT_STREQ(registry.GetString("bytes").CStr(), "-1,0,-56");
    registry.SetByteArray("none", bytes, 0);
    EXPECT_STREQ(registry.GetString("none").CStr(), "");

    int8_t out[3] = {9, 9, 9};
    registry.SetString("list", "1,2,3");
    registry.GetByteArray("list", out, 2);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(out[2], 9);

    int8_t gap[3] = {9, 9, 9};
    registry.SetString("gap", "7,,9");
    registry.GetByteArray("gap", gap, 3);
    EXPECT_EQ(gap[0], 7);
    EXPECT_EQ(gap[1], 9);
    EXPECT_EQ(gap[2], 9);

    int8_t wrapped[1] = {0};
    registry.SetString("wide", "200");
    registry.GetByteArray("wide", wrapped, 1);
    EXPECT_EQ(wrapped[0], -56);
}

TEST(RegistryTest, HostileValuesStayOnOneLine)
{
    TemporaryFolder folder;
    {
        Registry registry;
        registry.Load(PathIn(folder, "lines.cfg"));
        registry.SetString("Name", "evil\r\nInjected=1");
        registry.SetString("After", "ok");
    }
    Registry reread;
    reread.SetNoSave(true);
    reread.Load(PathIn(folder, "lines.cfg"));
    EXPECT_STREQ(reread.GetString("Name").CStr(), "evil  Injected=1");
    EXPECT_EQ(reread.Find("Injected"), nullptr);
    EXPECT_STREQ(reread.GetString("After").CStr(), "ok");
}

TEST(RegistryTest, HugeIntegersClamp)
{
    Registry registry;
    registry.SetString("big", "99999999999999999999");
    registry.SetString("small", "-99999999999999999999");
    EXPECT_EQ(registry.GetInt("big"), INT32_MAX);
    EXPECT_EQ(registry.GetInt("small"), INT32_MIN);
    registry.SetString("edge", "-2147483648");
    EXPECT_EQ(registry.GetInt("edge"), INT32_MIN);
}

TEST(RegistryTest, NoSaveLeavesTheFileUntouched)
{
    TemporaryFolder folder;
    folder.WriteText("keep.cfg", "a=1\r\n");
    {
        Registry registry;
        registry.SetNoSave(true);
        registry.Load(PathIn(folder, "keep.cfg"));
        registry.SetInt("a", 2);
    }
    EXPECT_EQ(folder.ReadText("keep.cfg"), "a=1\r\n");
}

TEST(RegistryTest, LoadingAnotherFileSavesTheFirst)
{
    TemporaryFolder folder;
    folder.WriteText("second.cfg", "b=2\r\n");
    Registry registry;
    registry.Load(PathIn(folder, "first.cfg"));
    registry.SetInt("a", 1);
    registry.Load(PathIn(folder, "second.cfg"));
    EXPECT_EQ(folder.ReadText("first.cfg"), "a=1\r\n");
    EXPECT_EQ(registry.Find("a"), nullptr);
    EXPECT_EQ(registry.GetInt("b"), 2);
}

TEST(RegistryTest, KeyedFileIsScrambled)
{
    TemporaryFolder folder;
    {
        Registry registry;
        registry.SetKey("Z");
        registry.Load(PathIn(folder, "keyed.cfg"));
        registry.SetInt("a", 1);
    }
    EXPECT_EQ(folder.ReadText("keyed.cfg"), std::string("\x3B\x67\x6B\x57\x50", 5));
    Registry reread;
    reread.SetKey("Z");
    reread.SetNoSave(true);
    reread.Load(PathIn(folder, "keyed.cfg"));
    EXPECT_EQ(reread.GetInt("a"), 1);
}
