#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string GeneratorPath()
{
    const char* dir = std::getenv("QS_PROGRAM_DIR");
    return std::string(dir ? dir : ".") + "/assetgen";
}

int RunGenerator(const std::string& args)
{
    return std::system(("\"" + GeneratorPath() + "\" " + args + " > /dev/null 2>&1").c_str());
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file under root by its relative path, with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).generic_string()] = ReadFile(entry.path());
    return files;
}

class AssetGeneratorTest : public ::testing::Test
{
  protected:
    // Two complete runs shared by the tests: generation takes seconds.
    static void SetUpTestSuite()
    {
        first = std::make_unique<TemporaryFolder>();
        second = std::make_unique<TemporaryFolder>();
        sheet = std::make_unique<TemporaryFolder>();
        ASSERT_TRUE(fs::exists(GeneratorPath())) << GeneratorPath();
        ASSERT_EQ(RunGenerator("--out \"" + first->Path() + "\" --stamp \"" + (*first / "data/assets.stamp") +
                               "\""),
                  0);
        ASSERT_EQ(RunGenerator("--out \"" + second->Path() + "\" --contact-sheet \"" +
                               (*sheet / "sheet.png") + "\""),
                  0);
    }
    static void TearDownTestSuite()
    {
        first.reset();
        second.reset();
        sheet.reset();
    }

    static inline std::unique_ptr<TemporaryFolder> first, second, sheet;
};

TEST_F(AssetGeneratorTest, TwoRunsWriteTheSameBytes)
{
    auto a = Snapshot(first->Path()), b = Snapshot(second->Path());
    a.erase("data/assets.stamp");
    ASSERT_GT(a.size(), 300u);
    std::vector<std::string> onlyInOne;
    for (const auto& [name, bytes] : a)
        if (!b.count(name))
            onlyInOne.push_back(name);
    for (const auto& [name, bytes] : b)
        if (!a.count(name))
            onlyInOne.push_back(name);
    EXPECT_TRUE(onlyInOne.empty()) << onlyInOne.front();
    for (const auto& [name, bytes] : a) {
        if (b.count(name)) {
            EXPECT_TRUE(bytes == b[name]) << name << " differs between runs";
        }
    }
}

TEST_F(AssetGeneratorTest, WritesTheFourFoldersAndNothingElse)
{
    std::vector<std::string> top;
    for (const auto& entry : fs::directory_iterator(first->Path()))
        top.push_back(entry.path().filename().string());
    std::sort(top.begin(), top.end());
    EXPECT_EQ(top, (std::vector<std::string>{"Fonts", "data", "graphics", "sounds"}));
}

TEST_F(AssetGeneratorTest, ARunReplacesWhatAnEarlierRunLeft)
{
    TemporaryFolder folder;
    fs::create_directories(folder / "graphics");
    fs::create_directories(folder / "cached");
    folder.WriteText("graphics/stale.png", "old");
    folder.WriteText("cached/keep.cached", "not ours");
    ASSERT_EQ(RunGenerator("--out \"" + folder.Path() + "\""), 0);
    EXPECT_FALSE(fs::exists(folder / "graphics/stale.png"));
    EXPECT_TRUE(fs::exists(folder / "cached/keep.cached"));
    EXPECT_TRUE(fs::exists(folder / "graphics/title.jpg"));
}

TEST_F(AssetGeneratorTest, BundlesFillTheLoadingBarExactly)
{
    // The game expects 306 loading steps and counts 70 of them itself; the
    // bundle loader counts one per picture it packs.
    std::string stamp = first->ReadText("data/assets.stamp");
    EXPECT_NE(stamp.find("\n236 bundle loading steps"), std::string::npos) << stamp;
}

TEST_F(AssetGeneratorTest, WritesAContactSheetOnRequest)
{
    std::string png = ReadFile(*sheet / "sheet.png");
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_FALSE(fs::exists(*first / "sheet.png"));
}

TEST_F(AssetGeneratorTest, RefusesUnknownArguments)
{
    EXPECT_NE(RunGenerator("--out /tmp --colour blue"), 0);
    EXPECT_NE(RunGenerator(""), 0);
}

} // namespace
