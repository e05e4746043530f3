#include "platform/Dialogs.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace Dialogs = Platform::Dialogs;

namespace {
// The standard error stream caught in a file of the test's own folder
// (gtest's own capture always writes in /tmp, whatever TMPDIR says).
class CaughtStderr
{
  public:
    CaughtStderr() : saved(dup(2))
    {
        std::fflush(stderr);
        const int file = open((folder / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(file, 2);
        close(file);
    }
    ~CaughtStderr() { Restore(); }
    CaughtStderr(const CaughtStderr&) = delete;
    CaughtStderr& operator=(const CaughtStderr&) = delete;

    std::string Text()
    {
        Restore();
        return folder.ReadText("stderr");
    }

  private:
    void Restore()
    {
        if (saved < 0)
            return;
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
        saved = -1;
    }

    TemporaryFolder folder;
    int saved;
};
} // namespace

TEST(Dialogs, WithoutADisplayTheTextGoesToTheErrorStreamAndTheDefaultAnswers)
{
    // A display in the environment would show real boxes and wait for a hand.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    CaughtStderr caught;
    EXPECT_FALSE(Dialogs::AskYesNo("Question", "First line\r\nsecond line", false));
    EXPECT_TRUE(Dialogs::AskYesNo("Question", "Again?", true));
    Dialogs::ShowMessage("Note", "Done.\r\n");
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
