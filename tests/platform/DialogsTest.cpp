#include "platform/Dialogs.h"

#include "support/CaughtStderr.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace Dialogs = Platform::Dialogs;

TEST(Dialogs, WithoutADisplayTheTextGoesToTheErrorStreamTheDefaultAnswersAndNoBellRings)
{
    // A display in the environment would show real boxes and wait for a hand.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    CaughtStderr caught;
    EXPECT_FALSE(Dialogs::AskYesNo("Question", "First line\r\nsecond line", false));
    EXPECT_TRUE(Dialogs::AskYesNo("Question", "Again?", true));
    Dialogs::ShowMessage("Note", "Done.\r\n");
    // No window to ring the bell of, and no terminal: the beep is silent.
    Dialogs::Beep();
    EXPECT_EQ(caught.Text(), "Question: First line\nsecond line [No]\n"
                             "Question: Again? [Yes]\n"
                             "Note: Done.\n\n");
}

TEST(Dialogs, ARecorderAnswersInsteadOfTheUser)
{
    CaughtStderr caught;
    Dialogs::Recorder dialogs;
    dialogs.answer = false;
    EXPECT_FALSE(Dialogs::AskYesNo("Keep?", "Keep it?\r\n", true));
    Dialogs::ShowMessage("Error", "It broke.");
    Dialogs::Beep();
    EXPECT_EQ(dialogs.questions, 1);
    EXPECT_EQ(dialogs.messages, 1);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(dialogs.title, "Error");
    EXPECT_EQ(caught.Text(), "");
}
