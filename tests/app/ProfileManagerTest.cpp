#include "app/ProfileManager.h"

#include "support/ManualClockApp.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
namespace fs = std::filesystem;

class ProfileManagerTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        app.dataFolder = folder.Path().c_str();
        app.configPath = (folder / "config.cfg").c_str();
    }

    void LoadFrom(const std::string& settings)
    {
        folder.WriteText("config.cfg", settings);
        profiles.Load(app.GetConfigPath());
    }

    std::vector<std::string> ProfileNames() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < profiles.GetCount(); ++i)
            names.push_back(profiles.GetName(i).CStr());
        return names;
    }

    bool ProfileFolderExists(const std::string& name) const
    {
        return fs::is_directory(fs::path(folder / "Profiles") / name);
    }

    TemporaryFolder folder;
    ManualClockApp app;
    ProfileManager profiles;
};

using Names = std::vector<std::string>;

TEST_F(ProfileManagerTest, LoadStopsAtTheFirstEmptyItemAndWritesTheFileBack)
{
    LoadFrom("DX::ScreenWidth=800\r\nProfiles=A,B,,C\r\n");
    EXPECT_EQ(ProfileNames(), (Names{"A", "B"}));
    // No "CurrentProfile": the first name is current.
    EXPECT_STREQ(profiles.GetCurrentName().CStr(), "A");
    EXPECT_EQ(profiles.GetCurrentIndex(), 0);
    EXPECT_EQ(folder.ReadText("config.cfg"), "DX::ScreenWidth=800\r\nProfiles=A,B,,C\r\n");
}

TEST_F(ProfileManagerTest, MissingSettingsFileGivesNoProfilesAndNoCurrent)
{
    profiles.Load(app.GetConfigPath());
    EXPECT_EQ(profiles.GetCount(), 0);
    EXPECT_TRUE(profiles.GetCurrentName().IsEmpty());
    EXPECT_EQ(profiles.GetCurrentIndex(), -1);
    EXPECT_TRUE(profiles.GetName(-1).IsEmpty());
    EXPECT_TRUE(profiles.GetName(0).IsEmpty());
}

TEST_F(ProfileManagerTest, AddedNamesAreNumberedWithoutRegardToCaseAndSavedInOrder)
{
    LoadFrom("Sound=1\r\nProfiles=\r\nCurrentProfile=\r\nMusic=0\r\n");
    EXPECT_TRUE(profiles.Add("Ann"));
    EXPECT_TRUE(profiles.Add("Ann"));
    EXPECT_TRUE(profiles.Add("Ann"));
    EXPECT_TRUE(profiles.Add("ann"));
    EXPECT_EQ(ProfileNames(), (Names{"Ann", "Ann2", "Ann3", "ann4"}));
    EXPECT_STREQ(profiles.GetCurrentName().CStr(), "ann4");
    EXPECT_TRUE(profiles.justAdded);
    EXPECT_TRUE(profiles.Exists("ANN3"));
    EXPECT_FALSE(profiles.Exists("Ann5"));
    profiles.Save();
    // Other keys keep their places.
    EXPECT_EQ(folder.ReadText("config.cfg"),
              "Sound=1\r\nProfiles=Ann,Ann2,Ann3,ann4\r\nCurrentProfile=ann4\r\nMusic=0\r\n");
    profiles.Clear();
    EXPECT_EQ(profiles.GetCount(), 0);
    ProfileManager reloaded;
    reloaded.Load(app.GetConfigPath());
    EXPECT_EQ(reloaded.GetCount(), 4);
    EXPECT_EQ(reloaded.GetCurrentIndex(), 3);
}

TEST_F(ProfileManagerTest, SaveBeforeLoadWritesNothing)
{
    profiles.Add("Ann");
    profiles.Save();
    profiles.Clear();
    EXPECT_FALSE(fs::exists(folder / "config.cfg"));
}

TEST_F(ProfileManagerTest, SetCurrentIgnoresIndexesOutsideTheListAndEndsJustAdded)
{
    LoadFrom("Profiles=A,B\r\nCurrentProfile=B\r\n");
    profiles.Add("C");
    profiles.SetCurrent(7);
    profiles.SetCurrent(-1);
    EXPECT_STREQ(profiles.GetCurrentName().CStr(), "C");
    profiles.SetCurrent(2);
    EXPECT_TRUE(profiles.justAdded);
    profiles.SetCurrent(0);
    EXPECT_FALSE(profiles.justAdded);
    EXPECT_STREQ(profiles.GetCurrentName().CStr(), "A");
}

TEST_F(ProfileManagerTest, ProfileFilesLieInTheProfilesOwnFolder)
{
    LoadFrom("Profiles=Ann,Bo\r\nCurrentProfile=Bo\r\n");
    String path = profiles.GetProfilePath("Journey.sav");
    EXPECT_STREQ(path.CStr(), (folder.Path() + "/Profiles/Bo/Journey.sav").c_str());
    EXPECT_TRUE(ProfileFolderExists("Bo"));
    String shared = profiles.GetSharedPath("Speed.hs");
    EXPECT_STREQ(shared.CStr(), (folder.Path() + "/Profiles/Speed.hs").c_str());
}

TEST_F(ProfileManagerTest, WithoutAProfileNobodyBecomesCurrentAndIsSaved)
{
    LoadFrom("");
    EXPECT_STREQ(profiles.GetCurrentFolder().CStr(), (folder.Path() + "/Profiles/Nobody").c_str());
    EXPECT_TRUE(ProfileFolderExists("Nobody"));
    profiles.Save();
    EXPECT_EQ(folder.ReadText("config.cfg"), "Profiles=\r\nCurrentProfile=Nobody\r\n");
}

TEST_F(ProfileManagerTest, DeletingRemovesTheFolderAndMovesTheCurrentProfile)
{
    LoadFrom("Profiles=Ann,Bo,Cy\r\nCurrentProfile=Bo\r\n");
    profiles.GetProfilePath("progress.cfg");
    folder.WriteText("Profiles/Bo/progress.cfg", "x");
    profiles.SetCurrent(0);
    profiles.GetCurrentFolder();
    profiles.SetCurrent(1);

    profiles.Delete(1);
    EXPECT_FALSE(fs::exists(folder / "Profiles/Bo"));
    EXPECT_TRUE(ProfileFolderExists("Ann"));
    EXPECT_EQ(ProfileNames(), (Names{"Ann", "Cy"}));
    EXPECT_STREQ(profiles.GetCurrentName().CStr(), "Ann");

    // Deleting another profile leaves the current one.
    profiles.Delete(1);
    EXPECT_STREQ(profiles.GetCurrentName().CStr(), "Ann");
    profiles.Delete(5);
    EXPECT_EQ(profiles.GetCount(), 1);
    profiles.Delete(0);
    EXPECT_TRUE(profiles.GetCurrentName().IsEmpty());
    EXPECT_EQ(profiles.GetCurrentIndex(), -1);
    EXPECT_TRUE(fs::is_directory(folder / "Profiles"));
}

TEST(ProfileNames, HostileNamesAreRefused)
{
    const char* refused[] = {"",   ".",  "..", "...",   " ",   " . ", "a,b",  "a\\b", "a/b", "../x",
                             "C:", "a*", "a?", "\"a\"", "<a>", "a|b", "a\tb", "a\nb", "\x7f"};
    for (const char* name : refused)
        EXPECT_FALSE(ProfileManager::IsValidName(name)) << '"' << name << '"';
    const char* accepted[] = {"Ann", "Ann 2", ".Ann", "Ann.", "J. R.", "Zo\xe9", "a-b_c'd!"};
    for (const char* name : accepted)
        EXPECT_TRUE(ProfileManager::IsValidName(name)) << '"' << name << '"';
    // Too long for the name box, or in bytes: letters of two bytes each.
    const int most = ProfileManager::kMaxNameBytes;
    EXPECT_TRUE(ProfileManager::IsValidName(std::string(most, 'A').c_str()));
    EXPECT_FALSE(ProfileManager::IsValidName(std::string(most + 1, 'A').c_str()));
    std::string twoByteLetters;
    for (int i = 0; i < most / 2 + 1; ++i)
        twoByteLetters += "\xc3\xa9";
    EXPECT_FALSE(ProfileManager::IsValidName(twoByteLetters.c_str()));
}

TEST_F(ProfileManagerTest, HostileNamesNeverReachTheListOrTheFileSystem)
{
    folder.WriteText("keep.txt", "data");
    // The files the profiles share take their names in any case: no
    // profile's folder could be made where one lies.
    profiles.GetSharedPath("Normal.hs");
    LoadFrom("Profiles=..,Ann,../..,a\\b, ,Bo,ANN,normal.HS\r\nCurrentProfile=..\r\n");
    // Bad and repeated names are left out; a bad current name counts as none.
    EXPECT_EQ(ProfileNames(), (Names{"Ann", "Bo"}));
    EXPECT_TRUE(profiles.IsTaken("NORMAL.hs"));
    EXPECT_FALSE(profiles.Exists("Normal.hs"));
    ASSERT_TRUE(profiles.Add("NORMAL.hs"));
    EXPECT_STREQ(profiles.GetCurrentName().CStr(), "NORMAL.hs2");
    profiles.Delete(2);
    EXPECT_STREQ(profiles.GetCurrentName().CStr(), "Ann");
    EXPECT_FALSE(profiles.Add(".."));
    EXPECT_FALSE(profiles.Add("x,y"));
    EXPECT_EQ(profiles.GetCount(), 2);

    profiles.Delete(0);
    profiles.Delete(0);
    EXPECT_EQ(folder.ReadText("keep.txt"), "data");
    EXPECT_TRUE(fs::exists(folder / "config.cfg"));
    profiles.Save();
    EXPECT_EQ(folder.ReadText("config.cfg"), "Profiles=\r\nCurrentProfile=\r\n");
}

// A stored current name no profile could bear, a bad one, a shared file's in
// any case or one too long, counts as none: it is neither used nor written
// back; nor is a listed name too long.
TEST_F(ProfileManagerTest, AStoredCurrentNameNoProfileCouldBearCountsAsNone)
{
    profiles.GetSharedPath("Normal.hs");
    const std::string tooLong(300, 'A');
    const struct
    {
        std::string stored, names, current, kept;
    } cases[] = {
        {"Normal.hs", "Tester", "Tester", "Tester"},
        {"nORMAL.HS", "Tester,Ann", "Tester", "Tester,Ann"},
        {"a/b", "Tester", "Tester", "Tester"},
        {"Normal.hs", "", "", ""},
        {"Ann", "Tester,Ann", "Ann", "Tester,Ann"},
        {tooLong, "Tester", "Tester", "Tester"},
        {tooLong, "", "", ""},
        {tooLong, tooLong + ",Ann", "Ann", "Ann"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.substr(0, 20) + " of " + std::to_string(c.stored.size()));
        LoadFrom("Profiles=" + c.names + "\r\nCurrentProfile=" + c.stored + "\r\n");
        EXPECT_EQ(profiles.GetCurrentName().CStr(), c.current);
        profiles.Save();
        EXPECT_EQ(folder.ReadText("config.cfg"), "Profiles=" + c.kept + "\r\nCurrentProfile=" + c.current + "\r\n");
    }
}
} // namespace
