#include "platform/Dialogs.h"

#include "support/CaughtStderr.h"
#include "support/ScopedVariable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace Dialogs = Platform::Dialogs;

TEST(Dialogs, WithoutADisplayTheTextGoesToTheErrorStreamTheDefaultAnswersAndNoBellRings)
{
    // A display in the environment would show real boxes and wait for a hand.
    const ScopedVariable display("DISPLAY", nullptr);
    const ScopedVariable wayland("WAYLAND_DISPLAY", nullptr);
    CaughtStderr caught;
    EXPECT_FALSE(Dialogs::AskYesNo("Question", "First line\r\nsecond line", false));
    EXPECT_TRUE(Dialogs::AskYesNo("Question", "Again?", true));
    Dialogs::ShowMessage("Note", "Done.\r\n");
    EXPECT_EQ(caught.Text(), "Question: First line\nsecond line [No]\n"
                             "Question: Again? [Yes]\n"
                             "Note: Done.\n\n");

    // With no window to ring the bell of, the terminal's rings where the
    // error stream is one, and nothing does where it is not.
    for (const bool terminal : {false, true}) {
        int ends[2] = {-1, -1};
        if (terminal) {
            ends[0] = posix_openpt(O_RDWR | O_NOCTTY);
            ASSERT_GE(ends[0], 0);
            ASSERT_EQ(grantpt(ends[0]) | unlockpt(ends[0]), 0);
            ends[1] = open(ptsname(ends[0]), O_RDWR | O_NOCTTY);
        } else {
            ASSERT_EQ(pipe(ends), 0);
        }
        ASSERT_GE(ends[1], 0);
        const int saved = dup(STDERR_FILENO);
        dup2(ends[1], STDERR_FILENO);
        Dialogs::Beep();
        dup2(saved, STDERR_FILENO);
        close(saved);
        close(ends[1]);
        pollfd ready{ends[0], POLLIN, 0};
        char rung[8] = {};
        const ssize_t got = poll(&ready, 1, 200) > 0 ? read(ends[0], rung, sizeof(rung)) : 0;
        close(ends[0]);
        EXPECT_EQ(std::string(rung, size_t(std::max<ssize_t>(got, 0))), terminal ? "\a" : "")
            << (terminal ? "on a terminal" : "on a pipe");
    }
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
