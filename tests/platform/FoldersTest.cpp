#include "platform/Folders.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {
// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment
{
  public:
    ScopedEnvironment(const char* name, const std::string& value) : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (previous)
            setenv(name, previous->c_str(), 1);
        else
            unsetenv(name);
    }

  private:
    const char* name;
    std::optional<std::string> previous;
};
} // namespace

using namespace Platform::Folders;

TEST(FoldersTest, ProgramFolderHoldsTheRunningProgram)
{
    std::string program = Program();
    ASSERT_FALSE(program.empty());
    EXPECT_NE(program.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(program + "/test_platform_FoldersTest"));
}

TEST(FoldersTest, UserDirsFileNamesDocumentsAndDesktop)
{
    TemporaryFolder folder;
    ScopedEnvironment home("HOME", folder.Path());
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.Path() + "/config");
    std::filesystem::create_directory(folder / "config");
    folder.WriteText("config/user-dirs.dirs", "# written by the desktop\n"
                                              "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                              "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n");
    EXPECT_EQ(Desktop(), folder / "Schreibtisch");
    EXPECT_EQ(Documents(), "/srv/docs");
}

TEST(FoldersTest, WithoutUserDirsHomeStandsIn)
{
    TemporaryFolder folder;
    ScopedEnvironment home("HOME", folder.Path());
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.Path() + "/nothing-here");
    EXPECT_EQ(Desktop(), folder / "Desktop");
    EXPECT_EQ(Documents(), folder.Path());
}

TEST(FoldersTest, DataHomeAndTheDataFolderTemplate)
{
    TemporaryFolder folder;
    ScopedEnvironment home("HOME", folder.Path());
    {
        ScopedEnvironment data("XDG_DATA_HOME", "relative/is/ignored");
        EXPECT_EQ(DataHome(), folder / ".local/share");
    }
    ScopedEnvironment data("XDG_DATA_HOME", folder.Path() + "/data/");
    EXPECT_EQ(DataHome(), folder / "data");
    EXPECT_EQ(DataFolderTemplate(), folder / "data/(PUBLISHER)/(NAME OF GAME)");
}
