#pragma once

#include "app/String.h"

// File-system helpers used beside IOBuffer. Paths may use '\' or '/'.

// A file or folder of that path exists, whether it can be read or not. The
// program's own files are looked up with it; the player's are looked up
// with Platform::Files::Exists, whose answer tells one that cannot be read.
bool FileExists(const String& path);

// Deletes a folder with everything in it. Paths of at most one character,
// ".", "..", a last component "." or "..", and drive roots are refused.
// Symbolic links inside are removed, never followed. True when it all went.
bool DeleteFolder(const String& path);

// Creates every folder of the path that ends before a separator: the folders
// of a file path, not the file itself. A path without a separator is created
// as a folder. True when every folder exists afterwards.
bool MakeFolders(const String& path);
