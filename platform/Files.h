#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// File system access in place of the system's file calls. Paths may use '\'
// or '/' as separators. Asset names mix the case of their folders
// ("Graphics\" and "graphics\"), so when a path does not exist as written,
// each component is looked up without regard to case.
namespace Platform::Files {
// The path with '/' separators, each component matched without regard to
// case when the exact spelling is missing. Components that exist in no
// spelling are kept as given, so the result also names files to be created.
std::string Resolve(const std::string& path);

bool IsFolder(const std::string& path);

// Why a file could not be read or written, in the game's terms (the words
// it tells the player depend on it) and in the system's words.
enum class Failure { None, Missing, NoPermission, DiskFull, ReadOnlyDisk, DiskError, NotAFile, Other };
struct Outcome
{
    Failure failure = Failure::None;
    std::string reason; // the system's words; empty when nothing failed
    // The folder of the path that could not be searched, when that and not
    // the file itself kept it from being read; empty otherwise.
    std::string folder;
};

// The one way the game reads a file. It is opened without waiting (a pipe
// at the name would hold the open until a writer came) and read only when
// it is a plain file: a pipe, a device or a folder at its name is a file
// that cannot be read, as one without permission or with a failing disk
// is. "Missing" only when nothing is at the name (or a file stands where a
// folder of the path should). "bytes" is empty unless it was read.
Outcome ReadFile(const std::string& path, std::vector<uint8_t>& bytes);
// What ReadFile would find at the name, without reading the bytes.
Outcome Examine(const std::string& path);

// Whether something is at the name, as ReadFile finds it: a plain file it
// can read, or something there that it cannot (a file without permission,
// one in a folder that cannot be searched, a folder, a pipe or a device).
// Not a truth value, so that "cannot be read" is never taken for "not
// there", nor for "there to be read". "why" takes ReadFile's outcome.
enum class Presence { Missing, Readable, Unreadable };
Presence Exists(const std::string& path, Outcome* why = nullptr);

// The whole file; false (and "bytes" empty) when it cannot be read, for
// whatever reason.
bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes);

// Replaces the file whole: the bytes go to a temporary file in the same
// folder, which is then renamed over the old one, so a failed write leaves
// the old file as it was. The file is the player's alone (0600). False when any step failed. A link in place of
// the file is replaced, never followed. The game's own temporary files left
// in the same folder by writes that were cut short (of any file, by any
// process) go first; nothing else there is touched. The only lock taken is
// the write's own on its temporary file, which says the write is running:
// a crash report may be written while another thread is inside a write.
bool WriteWhole(const std::string& path, const void* bytes, size_t size);
// WriteWhole, telling why it failed.
Outcome Replace(const std::string& path, const void* bytes, size_t size);

// Clears the game's own temporary files that writes cut short left in the
// folder, as WriteWhole does before it writes there.
void ClearLeftTemporaries(const std::string& folder);

// Async-signal-safe: WriteWhole without the heap, for a fault's report. The
// path is taken as written, and the folder's left temporary files stay for
// the next WriteWhole or ClearLeftTemporaries there, this one's among them
// if it is cut.
bool WriteWholeAtFault(const char* path, const void* bytes, size_t size);

// Writes all of the bytes to an open file, going on after a signal.
// Async-signal-safe: a fault's report is written with it.
bool WriteAll(int fd, const void* data, size_t size);

// The whole file, read as ReadFile reads, when it is a plain file of this
// user's, reached without going through a link at its last name (a file
// another user can swap in, for one in a folder others can write to);
// false (and "bytes" empty) otherwise.
bool ReadOwnFile(const std::string& path, std::vector<uint8_t>& bytes);

// Opened for reading in binary mode ("rb") as ReadFile opens it, or null.
// The caller closes it.
std::FILE* OpenForReading(const std::string& path);

struct FolderEntry
{
    std::string name;
    bool isFolder = false;
};

// The entries of a folder without "." and "..", sorted without regard to
// case; empty when it cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& path);

// Folders are made for the player's data, so they are made private (0700);
// folders that exist keep their rights.

// Closes a folder of this user's and all inside it to everybody else, as
// folders and files made now are: data folders of
// earlier versions were open to all (0755, their files 0644). Only the
// game's own are changed: plain files and folders of this user's on the
// folder's file system, reached through its mount. A device, a pipe, a
// socket, another user's file, one on another file system or mounted over
// a name there, and a link are neither changed nor followed (nor a
// folder's insides). Each name is opened once, from its folder held open,
// and what was opened is judged and changed through that descriptor: a
// name swapped for a link meanwhile is never followed.
void MakePrivate(const std::string& path);

// Creates one folder; true when it exists afterwards.
bool MakeFolder(const std::string& path);

// Creates the folder and the missing folders above it, and checks that files
// can be made in it. Empty when they can; otherwise why not: the folder where
// it failed and the system's reason.
std::string MakeWritableFolder(const std::string& path);

bool DeleteFile(const std::string& path);

// Gives a file another name in the same file system, replacing a file that
// had that name.
bool Rename(const std::string& from, const std::string& to);

// Deletes a folder with everything in it. Symbolic links are removed as
// links, never followed. A path whose last component is "." or ".." (or
// that is empty or the root) is refused. True when everything went.
bool DeleteFolderTree(const std::string& path);
} // namespace Platform::Files
