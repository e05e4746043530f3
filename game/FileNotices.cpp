#include "game/FileNotices.h"

#include "game/InfoDialog.h"
#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {
using Platform::Files::Failure;

const char* ReadReason(const Platform::Files::Outcome& outcome)
{
    if (!outcome.folder.empty())
        return "you do not have permission to open its folder";
    switch (outcome.failure) {
    case Failure::NoPermission:
        return "you do not have permission to read it";
    case Failure::NotAFile:
        return "it is not a file";
    case Failure::DiskError:
        return "the disk failed to read it";
    default:
        return nullptr;
    }
}

const char* WriteReason(Failure failure)
{
    switch (failure) {
    case Failure::NoPermission:
        return "you do not have permission to save in its folder";
    case Failure::DiskFull:
        return "the disk is full";
    case Failure::ReadOnlyDisk:
        return "the disk cannot be written to";
    case Failure::DiskError:
        return "the disk failed to write it";
    case Failure::NotAFile:
        return "a folder is in its place";
    case Failure::Missing:
        return "its folder is missing";
    default:
        return nullptr;
    }
}

std::string ReasonOf(const FileProblems::Problem& problem)
{
    const bool read = problem.act == FileProblems::Act::Read;
    const char* words = read ? ReadReason(problem.outcome) : WriteReason(problem.outcome.failure);
    if (words != nullptr)
        return words;
    std::string system = problem.outcome.reason;
    if (!system.empty())
        system[0] = char(std::tolower(static_cast<unsigned char>(system[0])));
    return system;
}

// What the file holds, for the player: "Profiles/Ann/casual.sav" is Ann's
// saved Casual game. A file the game does not know goes by its name alone.
std::string WhatItHolds(const std::string& name)
{
    const size_t slash = name.rfind('/');
    const std::string file = name.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::string quoted = "\"" + file + "\"";
    if (name == "config.cfg")
        return "The settings and list of players (" + quoted + ")";
    static const struct
    {
        const char* file;
        const char* what;
    } known[] = {{"Normal.hs", "Casual high scores"},    {"Journey.hs", "Journey high scores"},
                 {"Speed.hs", "Speed high scores"},      {"config.cfg", "progress"},
                 {"casual.sav", "saved Casual game"},    {"journey.sav", "saved Journey"},
                 {"speed.sav", "saved Speed game"}};
    // Profiles/<file> is shared by every player; Profiles/<player>/<file>
    // is one player's.
    const std::string profiles = "Profiles/";
    if (name.compare(0, profiles.size(), profiles) != 0)
        return quoted;
    const std::string below = name.substr(profiles.size());
    const size_t split = below.find('/');
    const std::string owner = split == std::string::npos ? "The" : below.substr(0, split) + "'s";
    for (const auto& entry : known) {
        if (file == entry.file && (split == std::string::npos) == (file.find(".hs") != std::string::npos))
            return owner + " " + entry.what + " (" + quoted + ")";
    }
    return quoted;
}

std::string LastNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return path.substr(slash == std::string::npos ? 0 : slash + 1);
}

// The folder, for the player: "Profiles/Ann" is Ann's folder. "name" is
// its name in the data folder, empty for the data folder itself.
std::string WhatFolder(const std::string& path, const std::string& name, bool inData)
{
    const std::string quoted = "\"" + LastNameOf(path) + "\"";
    if (inData && name.empty())
        return "The game's data folder (" + quoted + ")";
    if (inData && name == "Profiles")
        return "The players' folder (" + quoted + ")";
    const std::string profiles = "Profiles/";
    if (inData && name.compare(0, profiles.size(), profiles) == 0 &&
        name.find('/', profiles.size()) == std::string::npos)
        return name.substr(profiles.size()) + "'s folder";
    return "The folder " + quoted;
}

// The words of a folder inside a sentence: "the players' folder", while a
// player's name keeps its own case.
std::string InSentence(std::string words)
{
    if (words.compare(0, 4, "The ") == 0)
        words[0] = 't';
    return words;
}
} // namespace

FileNotices::FileNotices(const String& folder) : dataFolder(folder)
{
    FileProblems::SetListener([this](const FileProblems::Problem& problem) { Add(problem); });
}

FileNotices::~FileNotices()
{
    FileProblems::SetListener({});
}

// Only the player's files: a cache beside the program is none of theirs.
void FileNotices::Add(const FileProblems::Problem& problem)
{
    std::string name;
    if (!NameInData(problem.path, name))
        return;
    const std::lock_guard<std::mutex> held(lock);
    pending.push_back(problem);
}

std::string FileNotices::FolderNamed(const std::string& folder) const
{
    std::string name;
    const bool inData = NameInData(folder, name);
    return WhatFolder(folder, name, inData);
}

// The name of a path in the data folder, empty for the folder itself; false
// when it lies outside.
bool FileNotices::NameInData(const std::string& path, std::string& name) const
{
    const std::string folder = Platform::Files::Resolve(dataFolder.CStr());
    if (path == folder) {
        name.clear();
        return true;
    }
    if (folder.empty() || path.compare(0, folder.size() + 1, folder + "/") != 0)
        return false;
    name = path.substr(folder.size() + 1);
    return true;
}

String FileNotices::TextOf(const FileProblems::Problem& problem) const
{
    const std::string& blocked = problem.outcome.folder;
    if (problem.act == FileProblems::Act::Read && !blocked.empty())
        return String((FolderNamed(blocked) +
                       " could not be opened: you do not have permission to open it. Nothing in it is changed "
                       "while it cannot be opened.")
                          .c_str());
    std::string name;
    NameInData(problem.path, name);
    const bool read = problem.act == FileProblems::Act::Read;
    const std::string text = WhatItHolds(name) + " could not be " + (read ? "read" : "saved") + ": " +
                             ReasonOf(problem) +
                             (read ? ". It is left as it is, and nothing is saved over it."
                                   : ". What was there before is kept.");
    return String(text.c_str());
}

Platform::Files::Presence FileNotices::Find(const String& path, String& told)
{
    Platform::Files::Outcome why;
    const Platform::Files::Presence presence = FileProblems::Find(path.CStr(), why);
    if (presence != Platform::Files::Presence::Unreadable)
        return presence;
    const FileProblems::Problem problem{FileProblems::Act::Read, Platform::Files::Resolve(path.CStr()), why};
    told = TextOf(problem);
    const std::lock_guard<std::mutex> held(lock);
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [&](const FileProblems::Problem& waiting) {
                                     return waiting.act == problem.act &&
                                            waiting.Subject() == problem.Subject();
                                 }),
                  pending.end());
    return presence;
}

String FileNotices::TakeReason(const String& path)
{
    const std::string wanted = Platform::Files::Resolve(path.CStr());
    const std::lock_guard<std::mutex> held(lock);
    for (auto it = pending.begin(); it != pending.end(); ++it) {
        if (it->path != wanted)
            continue;
        const bool read = it->act == FileProblems::Act::Read;
        const std::string reason = (read ? "what is there is kept, as " : "") + ReasonOf(*it);
        pending.erase(it);
        return String(reason.c_str());
    }
    // Told already, when it was read: the write was refused to keep it, or
    // all in the folder that could not be opened.
    if (!FileProblems::IsKept(wanted))
        return String();
    const std::string blocked = FileProblems::KeptBehind(wanted);
    if (blocked.empty())
        return "the file there could not be read, and is kept as it is";
    return String((InSentence(FolderNamed(blocked)) + " could not be opened").c_str());
}

bool FileNotices::HasPending()
{
    const std::lock_guard<std::mutex> held(lock);
    return !pending.empty();
}

// The message box runs the application's updates while it waits: showing
// stays set so that those do not open a second one.
void FileNotices::ShowPending()
{
    if (showing)
        return;
    showing = true;
    for (;;) {
        FileProblems::Problem next;
        {
            const std::lock_guard<std::mutex> held(lock);
            if (pending.empty())
                break;
            next = pending.front();
            pending.erase(pending.begin());
        }
        const bool read = next.act == FileProblems::Act::Read;
        InfoDialog message(InfoDialogKind::Message, read ? "Could Not Read!" : "Could Not Save!", TextOf(next));
    }
    showing = false;
}
