#pragma once

#include <string>
#include <vector>

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

// Where a folder no other user can enter may be had, for names the user's
// own programs meet at and for files only the player may read, best first:
// $XDG_RUNTIME_DIR when set, "qs-runtime-<user id>" in the temporary folder
// ($TMPDIR or /tmp), and "qs-runtime" in the data home. The last two are
// the game's own.
std::vector<std::string> PrivatePlaces();

// Readies one of PrivatePlaces for use: empty when it is a real folder (not
// a link) of this user's that nobody else may enter or list, else why not.
// The game's own are made when missing and closed again when found open:
// only this user can have made them, as the temporary folder keeps others
// from removing them. What another user made, or left open, could be
// watched or filled, and is refused.
std::string WhyNotPrivate(const std::string& place);
} // namespace Platform::Folders
