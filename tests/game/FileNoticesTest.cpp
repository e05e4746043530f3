#include "game/FileNotices.h"

#include "platform/Files.h"
#include "support/TemporaryFolder.h"

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
                  std::string(file.told) + " could not be read: you do not have permission to read it. It is kept "
                                           "as it is, and nothing is saved over it until the game is started again.");
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
    EXPECT_STREQ(notices.TakeReason(save).CStr(), "the file there is kept, as you do not have permission to read it");
    EXPECT_FALSE(notices.HasPending()) << "told with the caller's message, not again";
    EXPECT_STREQ(notices.TakeReason(save).CStr(), "the file there could not be read, and is kept as it is");
}
