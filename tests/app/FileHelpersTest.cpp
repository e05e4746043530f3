#include "app/FileHelpers.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
String WindowsPath(const TemporaryFolder& folder, const std::string& relative)
{
    return String((folder.Path() + "\\" + relative).c_str());
}
} // namespace

TEST(FileHelpersTest, MakeFoldersCreatesTheFoldersOfAFilePath)
{
    TemporaryFolder folder;
    EXPECT_TRUE(MakeFolders(WindowsPath(folder, "a\\b\\c.txt")));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a/b"));
    EXPECT_FALSE(std::filesystem::exists(folder / "a/b/c.txt"));
    // Again: folders that exist are harmless.
    EXPECT_TRUE(MakeFolders(WindowsPath(folder, "a\\b\\")));
    EXPECT_TRUE(FileExists(WindowsPath(folder, "a\\b")));
}

TEST(FileHelpersTest, DeleteFolderRefusesDotsAndRoots)
{
    TemporaryFolder folder;
    MakeFolders(WindowsPath(folder, "keep\\inner\\"));
    folder.WriteText("keep/inner/file.txt", "x");
    EXPECT_FALSE(DeleteFolder(""));
    EXPECT_FALSE(DeleteFolder("."));
    EXPECT_FALSE(DeleteFolder(".."));
    EXPECT_FALSE(DeleteFolder("C:\\"));
    EXPECT_FALSE(DeleteFolder(WindowsPath(folder, "keep\\inner\\..")));
    EXPECT_TRUE(FileExists(WindowsPath(folder, "keep\\inner\\file.txt")));

    EXPECT_TRUE(DeleteFolder(WindowsPath(folder, "keep")));
    EXPECT_FALSE(FileExists(WindowsPath(folder, "keep")));
}
