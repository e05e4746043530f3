#include "app/App.h"

#include "app/Keyboard.h"
#include "app/Registry.h"
#include "platform/Folders.h"
#include "platform/Keyboard.h"
#include "platform/Shell.h"
#include "support/CaughtStderr.h"
#include "support/ManualClockApp.h"
#include "support/ScopedVariable.h"
#include "support/TemporaryDesktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <pwd.h>

namespace {
namespace fs = std::filesystem;
namespace Key = Platform::KeyCode;

// While set, the user has no entry in the password database: with no HOME
// either, there is no home folder.
bool noPasswordEntry = false;
} // namespace

// Defined in the test program, this comes before the C library's (and a
// sanitizer's) to every lookup.
extern "C" int getpwuid_r(uid_t uid, passwd* entry, char* buffer, size_t size, passwd** found)
{
    if (noPasswordEntry) {
        *found = nullptr;
        return 0;
    }
    using Lookup = int (*)(uid_t, passwd*, char*, size_t, passwd**);
    static const auto next = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getpwuid_r"));
    return next(uid, entry, buffer, size, found);
}

namespace {

// A private home, desktop and data home for one test.
class AppFolders : public testing::Test
{
  protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_DATA_HOME");
        savedDataHome = old != nullptr ? old : "";
        hadDataHome = old != nullptr;
        setenv("XDG_DATA_HOME", (desktop.Path("") + "../data").c_str(), 1);
        Platform::Shell::SetArguments(0, nullptr);
    }

    void TearDown() override
    {
        if (hadDataHome)
            setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        fs::remove_all(CacheFolder());
    }

    static fs::path CacheFolder() { return fs::path(Platform::Folders::Program()) / "cached"; }

    TemporaryDesktop desktop;
    std::string savedDataHome;
    bool hadDataHome = false;
};

// The data folder is the player's alone: one an earlier version left open
// to all is closed, with its files.
TEST_F(AppFolders, DataFolderFollowsTheTemplateWithPublisherAndName)
{
    const fs::path earlier = desktop.Path("") + "../data/KEXGames/Quorb Swap";
    fs::create_directories(earlier);
    std::ofstream(earlier / "config.cfg") << "DX::SafeMode=false\n";
    fs::permissions(earlier, fs::perms(0755));
    fs::permissions(earlier / "config.cfg", fs::perms(0644));
    ManualClockApp app;
    app.SetName("Quorb Swap");
    app.company = "KEXGames";
    app.ResolveDataFolder();
    std::string folder = app.GetDataFolder().CStr();
    EXPECT_EQ(fs::path(folder).filename(), "Quorb Swap");
    EXPECT_EQ(fs::path(folder).parent_path().filename(), "KEXGames");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(std::string(app.GetConfigPath().CStr()), folder + "/config.cfg");
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms(0700));
    EXPECT_EQ(fs::status(folder + "/config.cfg").permissions(), fs::perms(0600));
}

// A data folder that cannot be made or written is named once, at start,
// with the reason; the game goes on with it as before. With no data home
// at all (nor a home folder) the data goes to the working folder, which is
// no folder of the game's: it stays as open as it was.
TEST_F(AppFolders, ADataFolderThatCannotBeMadeIsNamedOnceWithTheReason)
{
    desktop.WriteText("in-the-way", "");
    const std::string work = desktop.Path("") + "../work";
    fs::create_directory(work);
    std::ofstream(work + "/notes.txt") << "the player's";
    fs::permissions(work, fs::perms(0755));
    fs::permissions(work + "/notes.txt", fs::perms(0644));
    const std::string made = desktop.Path("") + "../data/KEXGames/Quorb Swap";
    const std::string blocked = desktop.Path("in-the-way") + "/data/KEXGames/Quorb Swap";
    const struct
    {
        std::optional<std::string> dataHome;
        std::string folder, said;
    } cases[] = {
        {desktop.Path("") + "../data", made, ""},
        {desktop.Path("in-the-way") + "/data", blocked,
         "data folder " + blocked + " cannot be made or written (" + desktop.Path("in-the-way") +
             ": Not a directory)"},
        {std::nullopt, ".",
         "no folder for the game's data can be found (no XDG_DATA_HOME and no home folder): using the working "
         "folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const ScopedVariable data("XDG_DATA_HOME", c.dataHome);
        std::optional<ScopedVariable> home;
        if (!c.dataHome)
            home.emplace("HOME", nullptr);
        noPasswordEntry = !c.dataHome;
        const fs::path previous = fs::current_path();
        fs::current_path(work);
        ManualClockApp app;
        app.SetName("Quorb Swap");
        app.company = "KEXGames";
        CaughtStderr caught;
        app.ResolveDataFolder();
        const std::string said = caught.Text();
        fs::current_path(previous);
        noPasswordEntry = false;
        if (c.said.empty()) {
            EXPECT_EQ(said, "");
        } else {
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
            EXPECT_NE(said.find(c.said), std::string::npos) << said;
        }
        EXPECT_EQ(std::string(app.GetConfigPath().CStr()), c.folder + "/config.cfg");
        EXPECT_EQ(fs::status(work).permissions(), fs::perms(0755)) << "the working folder was closed";
        EXPECT_EQ(fs::status(work + "/notes.txt").permissions(), fs::perms(0644));
    }
}

TEST_F(AppFolders, ForcedDocumentsFolderUsesMyGames)
{
    ManualClockApp app;
    app.SetName("Quorb Swap");
    app.forceDocumentsFolder = true;
    app.ResolveDataFolder();
    EXPECT_EQ(std::string(app.GetDataFolder().CStr()),
              Platform::Folders::Documents() + "/my games/Quorb Swap");
}

TEST_F(AppFolders, SwitchesMatchWholeLowerCasedArguments)
{
    const char* argv[] = {"/opt/-crash-reports/-hardware/QuorbSwap", "-SOFTWARE", "-hwtest"};
    Platform::Shell::SetArguments(3, argv);
    ManualClockApp app;
    app.ReadCommandLine();
    EXPECT_TRUE(app.HasCommandLineSwitch("-software"));
    EXPECT_TRUE(app.HasCommandLineSwitch("-hwtest"));
    EXPECT_FALSE(app.HasCommandLineSwitch("-hardware"));
    EXPECT_FALSE(app.HasCommandLineSwitch("-crash"));
    EXPECT_FALSE(app.crashSwitch);
    EXPECT_STREQ(app.commandLine.CStr(), "/opt/-crash-reports/-hardware/quorbswap -software -hwtest");

    const char* crashing[] = {"QuorbSwap", "-Crash"};
    Platform::Shell::SetArguments(2, crashing);
    app.ReadCommandLine();
    EXPECT_TRUE(app.crashSwitch);
}

TEST_F(AppFolders, CheatMarkerOnTheDesktopEnablesDebugKeys)
{
    {
        ManualClockApp app;
        EXPECT_FALSE(app.cheatsEnabled);
    }
    desktop.WriteText("tarnquill.cheat", "");
    ManualClockApp app;
    EXPECT_TRUE(app.cheatsEnabled);
}

TEST_F(AppFolders, WithoutSoundCacheTheCacheFolderGoes)
{
    fs::create_directories(CacheFolder() / "inner");
    ManualClockApp app;
    app.CheckCacheVersion();
    EXPECT_FALSE(fs::exists(CacheFolder()));
}

TEST_F(AppFolders, CacheSurvivesTheSameVersionInAnyCase)
{
    fs::create_directories(CacheFolder());
    std::ofstream(CacheFolder() / "cacheinfo.cfg") << "Version=1.11\r\n";
    std::ofstream(CacheFolder() / "sound.cache") << "x";
    ManualClockApp app;
    app.cacheSounds = true;
    app.SetVersion("1.11");
    app.CheckCacheVersion();
    EXPECT_TRUE(fs::exists(CacheFolder() / "sound.cache"));

    app.SetVersion("1.12");
    app.CheckCacheVersion();
    EXPECT_FALSE(fs::exists(CacheFolder() / "sound.cache"));
    Registry info;
    info.SetNoSave(true);
    info.Load((CacheFolder() / "cacheinfo.cfg").c_str());
    EXPECT_STREQ(info.GetString("Version").CStr(), "1.12");
}

TEST_F(AppFolders, CacheDeletionNeverFollowsLinks)
{
    fs::path outside = fs::path(desktop.Path("keep"));
    fs::create_directories(outside);
    std::ofstream(outside / "precious") << "x";
    fs::create_directories(CacheFolder());
    fs::create_directory_symlink(outside, CacheFolder() / "link");
    ManualClockApp app;
    app.CheckCacheVersion();
    EXPECT_FALSE(fs::exists(CacheFolder()));
    EXPECT_TRUE(fs::exists(outside / "precious"));
}

// The debug keys read the keyboard's two samples: a key went down when it is
// held now and was not in the sample before.
class CheatKeys : public testing::Test
{
  protected:
    void SetUp() override
    {
        std::memset(theKeyboard.state, 0, sizeof(theKeyboard.state));
        theKeyboard.current = 0;
        app.cheatsEnabled = true;
    }

    void TearDown() override { std::memset(theKeyboard.state, 0, sizeof(theKeyboard.state)); }

    void Press(std::initializer_list<int> held, int pressed)
    {
        theKeyboard.current = 1 - theKeyboard.current;
        std::memset(theKeyboard.state[theKeyboard.current], 0, 256);
        for (int key : held)
            theKeyboard.state[theKeyboard.current][key] = 0x80;
        theKeyboard.state[theKeyboard.current][pressed] = 0x80;
        theKeyboard.state[1 - theKeyboard.current][pressed] = 0;
        app.CheatKeys();
    }

    ManualClockApp app;
};

TEST_F(CheatKeys, ControlAltQTogglesTheDebugText)
{
    Press({}, Key::Q);
    EXPECT_FALSE(app.showDebugText);
    Press({Key::LeftControl, Key::RightAlt}, Key::Q);
    EXPECT_TRUE(app.showDebugText);
    EXPECT_TRUE(app.CheatKey(Key::Q));
}

TEST_F(CheatKeys, FunctionKeysToggleTheCounters)
{
    Press({}, Key::F12);
    EXPECT_TRUE(app.showFrameRate);
    EXPECT_EQ(app.framesThisSecond, 1);
    Press({}, Key::F11);
    EXPECT_TRUE(app.showSwaps);
    Press({}, Key::F10);
    EXPECT_TRUE(app.showVideoMemory);
}

TEST_F(CheatKeys, SpeedKeysWorkOnlyWithTheDebugText)
{
    Press({}, Key::End);
    EXPECT_FLOAT_EQ(app.requestedSpeed, 1.0f);
    app.showDebugText = true;
    app.speedPercent = 150;
    Press({}, Key::End);
    EXPECT_FLOAT_EQ(app.requestedSpeed, 2.0f);
    app.speedPercent = 10;
    Press({}, Key::PageDown);
    EXPECT_EQ(app.speedPercent, 10);
    EXPECT_FLOAT_EQ(app.requestedSpeed, 0.1002f);
    Press({}, Key::PageUp);
    EXPECT_FLOAT_EQ(app.requestedSpeed, 0.2002f);
    Press({}, Key::Home);
    EXPECT_FLOAT_EQ(app.requestedSpeed, 1.0f);
    EXPECT_EQ(app.speedPercent, 100);
}

TEST_F(CheatKeys, HeldKeyWentDownOnlyOnce)
{
    Press({}, Key::F12);
    theKeyboard.current = 1 - theKeyboard.current;
    theKeyboard.state[theKeyboard.current][Key::F12] = 0x80;
    EXPECT_TRUE(theKeyboard.IsKeyDown(Key::F12));
    EXPECT_FALSE(theKeyboard.WentDown(Key::F12));
    app.CheatKeys();
    EXPECT_TRUE(app.showFrameRate);
}

TEST(KeyNames, UnnamedCodesShowQuestionMarks)
{
    EXPECT_STREQ(Keyboard::keyNames[0x00], "???");
    EXPECT_STREQ(Keyboard::keyNames[0x54], "???");
    EXPECT_STREQ(Keyboard::keyNames[0xA2], "PAUSE");
    EXPECT_STREQ(Keyboard::keyNames[0xC5], "PAUSE");
    EXPECT_STREQ(Keyboard::keyNames[0x01], "ESC");
}
} // namespace
