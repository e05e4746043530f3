#pragma once

#include "platform/Files.h"

#include <functional>
#include <string>

// The game's files that could not be read or written in this run. A file
// that is there but could not be read is kept as it is: nothing is written
// over it for the rest of the run, even once it can be read again, since
// what the game holds of it is not what it holds. Each file is told once:
// named on standard error and in the session log with its full path and
// the system's reason, and handed to the listener, which tells the player.
// A folder on the way that cannot be searched is told once for all the
// files in it, as that folder.
namespace FileProblems {
enum class Act { Read, Write };

struct Problem
{
    Act act = Act::Read;
    std::string path; // in full, as the system names it
    Platform::Files::Outcome outcome;

    // What is told: the file, or the folder of its path that could not be
    // searched.
    const std::string& Subject() const { return outcome.folder.empty() ? path : outcome.folder; }
};

// A read of the file found something there that it could not read.
void ReportUnreadable(const std::string& path, const Platform::Files::Outcome& outcome);
// Whether something is at the name of one of the game's files; one there
// that cannot be read is told as a read of it is, and kept. "why" takes
// what the read found.
Platform::Files::Presence Find(const std::string& path, Platform::Files::Outcome& why);
// A write of the file failed.
void ReportUnwritable(const std::string& path, const Platform::Files::Outcome& outcome);
// The file was found unreadable in this run.
bool IsKept(const std::string& path);
// The folder that could not be searched when the kept file was found
// unreadable; empty when the file itself could not be read, or is not kept.
std::string KeptBehind(const std::string& path);
// Whether the file may be written over or removed: not when something is
// at its name that cannot be read now (told here, as a read is), nor when
// it was found unreadable earlier in this run.
bool MayReplace(const std::string& path);
// The listener takes the problems told from then on; an empty one stops.
void SetListener(std::function<void(const Problem&)> listener);
} // namespace FileProblems
