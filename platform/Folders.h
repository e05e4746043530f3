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

// A folder no other user can enter, for names the user's own programs meet
// at: $XDG_RUNTIME_DIR when it is such a folder of this user's, otherwise
// "qs-runtime-<user id>" in the temporary folder ($TMPDIR or /tmp), made
// when missing. Empty when neither is a real folder of this user's closed to
// everybody else (another user may have made the name first).
std::string Runtime();
} // namespace Platform::Folders
