#pragma once
// What the player is told of the files of theirs, in the data folder, that
// could not be read or written: one message in the game's message box for
// each, in words a player understands, shown when nothing else holds the
// screen.

#include "app/FileProblems.h"
#include "app/String.h"

#include <mutex>
#include <string>
#include <vector>

class FileNotices
{
  public:
    // Listens to the problems told while it lives; the folder is read when
    // one comes.
    explicit FileNotices(const String& dataFolder);
    ~FileNotices();
    FileNotices(const FileNotices&) = delete;
    FileNotices& operator=(const FileNotices&) = delete;

    // The message of one problem: the file's name in the data folder (or
    // the folder that could not be searched), what failed and why.
    String TextOf(const FileProblems::Problem& problem) const;
    // Whether something is at the name of a file of the player's. The
    // message of one there that cannot be read goes to "told", and is not
    // shown on its own as well.
    Platform::Files::Presence Find(const String& path, String& told);
    // Why the file was not written, when a problem of it is still to be
    // told (it is told so, as part of the caller's own message) or it is
    // kept because it, or the folder it is in, could not be read.
    String TakeReason(const String& path);
    // Shows the problems not yet told, one message each; nothing while it
    // shows one already.
    void ShowPending();
    bool HasPending();

  private:
    void Add(const FileProblems::Problem& problem);
    bool NameInData(const std::string& path, std::string& name) const;
    // The folder, for the player: "Ann's folder", "The players' folder".
    std::string FolderNamed(const std::string& folder) const;

    const String& dataFolder;
    std::mutex lock;
    std::vector<FileProblems::Problem> pending;
    bool showing = false;
};
