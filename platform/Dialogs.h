#pragma once

#include <string>

// Message boxes and the standard beep.
namespace Platform::Dialogs {
// Shows a modal message box with an OK button; without a display the text
// goes to the standard error stream instead.
void ShowMessage(const std::string& title, const std::string& text);

// The standard system beep: the terminal bell, when there is a terminal.
void Beep();
} // namespace Platform::Dialogs
