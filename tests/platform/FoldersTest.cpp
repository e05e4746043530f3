#include "platform/Folders.h"

#include "support/ScopedVariable.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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
    ScopedVariable home("HOME", folder.Path());
    ScopedVariable config("XDG_CONFIG_HOME", folder.Path() + "/config");
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
    ScopedVariable home("HOME", folder.Path());
    ScopedVariable config("XDG_CONFIG_HOME", folder.Path() + "/nothing-here");
    EXPECT_EQ(Desktop(), folder / "Desktop");
    EXPECT_EQ(Documents(), folder.Path());
}

TEST(FoldersTest, DataHomeAndTheDataFolderTemplate)
{
    TemporaryFolder folder;
    ScopedVariable home("HOME", folder.Path());
    {
        ScopedVariable data("XDG_DATA_HOME", "relative/is/ignored");
        EXPECT_EQ(DataHome(), folder / ".local/share");
    }
    ScopedVariable data("XDG_DATA_HOME", folder.Path() + "/data/");
    EXPECT_EQ(DataHome(), folder / "data");
    EXPECT_EQ(DataFolderTemplate(), folder / "data/(PUBLISHER)/(NAME OF GAME)");
}

namespace {
constexpr uid_t kNobody = 65534;

// The first of the private places that serves, as a caller takes it.
std::string FirstPrivate()
{
    for (const std::string& place : PrivatePlaces()) {
        if (WhyNotPrivate(place).empty())
            return place;
    }
    return std::string();
}
} // namespace

// Names the user's programs meet at live where no other user can enter: the
// runtime folder when it is the user's own and closed, else a folder of the
// game's own in the temporary folder, closed again when found open, else one
// in the data home; never one somebody else made or left open, a link, nor
// a file.
TEST(FoldersTest, PrivateFoldersAreOnesOnlyThisUserCanEnter)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder / "open");
    std::filesystem::permissions(folder / "open", std::filesystem::perms(0755));
    std::filesystem::create_directory_symlink(folder.Path(), folder / "link");
    // Closed to others as a folder of ours would be, but no folder.
    folder.WriteText("file", "");
    std::filesystem::permissions(folder / "file", std::filesystem::perms(0700));
    const std::string fallback = folder / ("tmp/qs-runtime-" + std::to_string(geteuid()));
    const std::string inDataHome = folder / "data/qs-runtime";
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
        {"runtime folder a file", folder / "file", nullptr, fallback},
        {"no runtime folder", std::nullopt, nullptr, fallback},
        {"fallback made already", std::nullopt, "private", fallback},
        {"fallback name a link", std::nullopt, "link", inDataHome},
        {"fallback of ours left open", std::nullopt, "open", fallback},
        {"fallback another user's", std::nullopt, "another's", inDataHome},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string planted = c.inTemporary != nullptr ? c.inTemporary : "";
        if (planted == "another's" && geteuid() != 0)
            continue; // only root can make a folder of another user's
        std::filesystem::remove_all(folder / "tmp");
        std::filesystem::remove_all(folder / "data");
        std::filesystem::create_directory(folder / "tmp");
        if (planted == "link")
            std::filesystem::create_directory_symlink(folder.Path(), fallback);
        else if (!planted.empty())
            mkdir(fallback.c_str(), 0700);
        if (planted == "open")
            chmod(fallback.c_str(), 0777);
        if (planted == "another's") {
            ASSERT_EQ(chown(fallback.c_str(), kNobody, kNobody), 0);
        }
        ScopedVariable temporary("TMPDIR", folder / "tmp");
        ScopedVariable data("XDG_DATA_HOME", folder / "data");
        ScopedVariable runtime("XDG_RUNTIME_DIR", c.runtime);
        EXPECT_EQ(FirstPrivate(), c.found);
        struct stat info;
        ASSERT_EQ(lstat(c.found.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        ASSERT_EQ(lstat((folder / "open").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0755u) << "a runtime folder not the game's own was changed";
        // Taken back before it goes: root may lack the right to list it.
        if (planted == "another's") {
            ASSERT_EQ(chown(fallback.c_str(), getuid(), getgid()), 0);
        }
    }
}
