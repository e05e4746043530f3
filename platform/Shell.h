#pragma once

#include <string>
#include <vector>

// The process's surroundings: its command line and working folder, opening
// documents and web pages with the user's programs, and the text clipboard.
namespace Platform::Shell {
// Kept by the program's entry point for whoever reads the command line.
void SetArguments(int argc, const char* const* argv);
// The arguments, program path first; empty when none were kept.
const std::vector<std::string>& Arguments();

// False when the folder cannot be entered.
bool SetWorkingFolder(const std::string& path);

// One line on the standard error stream, for whoever started the program.
void PrintError(const std::string& line);

// Opens a web page or a document with the user's preferred program; false
// when that could not be started.
bool Open(const std::string& target);

std::string GetClipboardText();
bool SetClipboardText(const std::string& text);
} // namespace Platform::Shell
