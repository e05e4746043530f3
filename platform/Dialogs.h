#pragma once

#include <string>

// Message boxes, questions and the standard beep.
namespace Platform::Dialogs {
// Shows a modal message box with an OK button; without a display the text
// goes to the standard error stream instead.
void ShowMessage(const std::string& title, const std::string& text);

// Asks a question with Yes and No buttons; true for Yes. Closing the box
// answers No. Without a display the text goes to the standard error stream
// and the default answer is returned.
bool AskYesNo(const std::string& title, const std::string& text, bool defaultYes);

// The standard system beep: the window system's bell when the program has
// the player's window on X11, else the terminal bell when there is a
// terminal.
void Beep();

// Stands in for the user while it lives (tests): no box is shown and no
// bell rung; it counts them, keeps the last box's words and answers every
// question with `answer`. Main thread only; the last one made wins.
class Recorder
{
  public:
    Recorder();
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    bool answer = true;
    int messages = 0; // message boxes, questions not included
    int questions = 0;
    int beeps = 0;
    std::string title; // of the last box or question
    std::string text;

  private:
    Recorder* mPrevious;
};
} // namespace Platform::Dialogs
