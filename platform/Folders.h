#pragma once

#include <string>

// Well-known folders of the user and the program, without a trailing '/'.
// An empty result means the folder cannot be obtained.
namespace Platform::Folders {
// The folder holding the running program.
std::string Program();

// From the XDG user-dirs file ($XDG_CONFIG_HOME/user-dirs.dirs), falling
// back to $HOME and $HOME/Desktop.
std::string Documents();
std::string Desktop();

// $XDG_DATA_HOME, or $HOME/.local/share.
std::string DataHome();

// The per-user data folder template, "<data home>/(PUBLISHER)/(NAME OF
// GAME)", with its placeholders left for the application to fill in; empty
// when no data home can be found.
std::string DataFolderTemplate();
} // namespace Platform::Folders
