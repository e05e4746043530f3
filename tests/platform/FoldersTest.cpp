#include "platform/Folders.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Sets (or with no value, unsets) an environment variable for one test and
// puts the old value back.
class ScopedEnvironment
{
  public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
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

// Names the user's programs meet at live where no other user can enter: the
// runtime folder when it is the user's own and closed, else a folder of the
// user's own in the temporary folder, never one somebody else made or left
// open, nor a link.
TEST(FoldersTest, RuntimeFolderIsOneOnlyThisUserCanEnter)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder / "open");
    std::filesystem::permissions(folder / "open", std::filesystem::perms(0755));
    std::filesystem::create_directory_symlink(folder.Path(), folder / "link");
    const std::string fallback = folder / ("tmp/qs-runtime-" + std::to_string(geteuid()));
    struct Case
    {
        const char* what;
        std::optional<std::string> runtime;
        const char* inTemporary; // what the fallback's name holds before
        std::string found;
    };
    const Case cases[] = {
        {"private runtime folder", folder.Path(), nullptr, folder.Path()},
        {"runtime folder open to all", folder / "open", nullptr, fallback},
        {"runtime folder a link", folder / "link", nullptr, fallback},
        {"no runtime folder", std::nullopt, nullptr, fallback},
        {"fallback made already", std::nullopt, "private", fallback},
        {"fallback name a link", std::nullopt, "link", ""},
        {"fallback name an open folder", std::nullopt, "open", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder / "tmp");
        std::filesystem::create_directory(folder / "tmp");
        if (c.inTemporary != nullptr && std::string(c.inTemporary) == "link")
            std::filesystem::create_directory_symlink(folder.Path(), fallback);
        else if (c.inTemporary != nullptr)
            mkdir(fallback.c_str(), std::string(c.inTemporary) == "open" ? 0755 : 0700);
        ScopedEnvironment temporary("TMPDIR", folder / "tmp");
        ScopedEnvironment runtime("XDG_RUNTIME_DIR", c.runtime);
        EXPECT_EQ(Runtime(), c.found);
        if (c.found == fallback) {
            struct stat info;
            ASSERT_EQ(lstat(fallback.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0700u);
        }
    }
}
