#include "game/FileNotices.h"

#include "app/ProfileManager.h"
#include "platform/Files.h"
#include "support/BoardScene.h"
#include "support/MessageFit.h"
#include "support/TemporaryFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

// Each of the player's files is told by what it holds for them, with its
// name short enough for a line of the message box.
TEST(FileNoticesTest, EachFileIsToldByWhatItHolds)
{
    TemporaryFolder folder;
    const String dataFolder(folder.Path().c_str());
    FileNotices notices(dataFolder);
    const struct
    {
        const char* name;
        const char* told;
    } files[] = {
        {"config.cfg", "The settings and list of players (\"config.cfg\")"},
        {"Profiles/Normal.hs", "The Casual high scores (\"Normal.hs\")"},
        {"Profiles/Journey.hs", "The Journey high scores (\"Journey.hs\")"},
        {"Profiles/Speed.hs", "The Speed high scores (\"Speed.hs\")"},
        {"Profiles/Ann/config.cfg", "Ann's progress (\"config.cfg\")"},
        {"Profiles/Ann/casual.sav", "Ann's saved Casual game (\"casual.sav\")"},
        {"Profiles/Ann/journey.sav", "Ann's saved Journey (\"journey.sav\")"},
        {"Profiles/Ann/speed.sav", "Ann's saved Speed game (\"speed.sav\")"},
        // Names the game does not know, or in a place it would not keep them.
        {"Profiles/Ann/Normal.hs", "\"Normal.hs\""},
        {"Profiles/casual.sav", "\"casual.sav\""},
        {"Profiles/Ann/notes.txt", "\"notes.txt\""},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        FileProblems::Problem problem;
        problem.path = Platform::Files::Resolve(folder / file.name);
        problem.outcome.failure = Platform::Files::Failure::NoPermission;
        EXPECT_EQ(std::string(notices.TextOf(problem).CStr()),
                  std::string(file.told) + " could not be read: you do not have permission to read it. It is left "
                                           "as it is, and nothing is saved over it.");
    }
}

// A folder on the way that cannot be searched is told as that folder, not
// as the file that was looked for in it, which may not even be there.
TEST(FileNoticesTest, AFolderThatCannotBeSearchedIsToldAsTheFolder)
{
    TemporaryFolder folder;
    const String dataFolder((folder / "Quorb").c_str());
    FileNotices notices(dataFolder);
    const struct
    {
        const char* blocked;
        const char* told;
    } folders[] = {
        {"Quorb", "The game's data folder (\"Quorb\")"},
        {"Quorb/Profiles", "The players' folder (\"Profiles\")"},
        {"Quorb/Profiles/Ann", "Ann's folder"},
        {"Quorb/HardwareTestResults", "The folder \"HardwareTestResults\""},
    };
    for (const auto& blocked : folders) {
        SCOPED_TRACE(blocked.blocked);
        FileProblems::Problem problem;
        problem.path = Platform::Files::Resolve(folder / "Quorb/Profiles/Ann/casual.sav");
        problem.outcome.failure = Platform::Files::Failure::NoPermission;
        problem.outcome.folder = Platform::Files::Resolve(folder / blocked.blocked);
        EXPECT_EQ(std::string(notices.TextOf(problem).CStr()),
                  std::string(blocked.told) + " could not be opened: you do not have permission to open it. Nothing "
                                              "in it is changed while it cannot be opened.");
    }
}

// Every message of a file of the player's, of the longest player's name
// there may be, for every reason a read or a write can fail, ends above
// the message box's button.
TEST(FileNoticesTest, EveryMessageEndsAboveTheButton)
{
    const char* programFolder = std::getenv("QS_PROGRAM_DIR");
    BoardScene::LinkAssetFolders(programFolder ? programFolder : std::filesystem::current_path());
    Font font;
    InfoDialog::LoadFont(font);
    ASSERT_TRUE(font.mLoaded);
    TemporaryFolder folder;
    const String dataFolder((folder / "Quorb Swap").c_str());
    FileNotices notices(dataFolder);
    const std::string player = "Profiles/" + std::string(ProfileManager::kMaxNameBytes, 'W');
    const std::string files[] = {"config.cfg",           "Profiles/Journey.hs",     "Profiles/Normal.hs",
                                 "Profiles/Speed.hs",    player + "/config.cfg",    player + "/journey.sav",
                                 player + "/casual.sav", player + "/speed.sav"};
    using Platform::Files::Failure;
    const Failure failures[] = {Failure::NoPermission, Failure::DiskFull, Failure::ReadOnlyDisk,
                                Failure::DiskError,    Failure::NotAFile, Failure::Missing,
                                Failure::Other};
    for (const std::string& file : files) {
        const std::string path = Platform::Files::Resolve(folder / ("Quorb Swap/" + file));
        std::vector<std::string> blocked;
        for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
            blocked.push_back(path.substr(0, slash));
        blocked.push_back(""); // the file's own
        for (const FileProblems::Act act : {FileProblems::Act::Read, FileProblems::Act::Write}) {
            for (const Failure failure : failures) {
                for (const std::string& on : blocked) {
                    FileProblems::Problem problem{act, path, {failure, std::strerror(ELOOP), on}};
                    const String text = notices.TextOf(problem);
                    EXPECT_LT(BelowButtonsTop(font, text), 0.0f) << text.CStr();
                }
            }
        }
    }
}

// A save refused because the file there could not be read says so, whether
// the read's own message is still to be shown or was shown already.
TEST(FileNoticesTest, ASaveRefusedToKeepAnUnreadableFileSaysWhy)
{
    TemporaryFolder folder;
    const String dataFolder(folder.Path().c_str());
    FileNotices notices(dataFolder);
    const String save((folder / "Profiles/Ann/casual.sav").c_str());
    EXPECT_STREQ(notices.TakeReason(save).CStr(), "") << "nothing is wrong with it yet";
    Platform::Files::Outcome unreadable;
    unreadable.failure = Platform::Files::Failure::NoPermission;
    FileProblems::ReportUnreadable(save.CStr(), unreadable);
    EXPECT_STREQ(notices.TakeReason(save).CStr(), "what is there is kept, as you do not have permission to read it");
    EXPECT_FALSE(notices.HasPending()) << "told with the caller's message, not again";
    EXPECT_STREQ(notices.TakeReason(save).CStr(), "the file there could not be read, and is kept as it is");
}
