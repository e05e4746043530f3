#include "app/FileProblems.h"

#include "app/Console.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <set>

namespace FileProblems {
namespace {
struct Memory
{
    std::mutex lock;
    // Each kept file, with the folder that could not be searched when it
    // was found unreadable (empty when the file itself could not be read).
    std::map<std::string, std::string> kept;
    std::set<std::string> told;
    std::function<void(const Problem&)> listener;
};

Memory& TheMemory()
{
    static Memory memory;
    return memory;
}

std::string LineOf(const Problem& problem)
{
    // The file looked for in it may not even be there: the folder alone is
    // named, as the player's message names it.
    if (!problem.outcome.folder.empty())
        return "WARNING: the folder " + problem.outcome.folder + " could not be searched (" +
               problem.outcome.reason + "); the files in it are left as they are";
    const char* done = problem.act == Act::Read ? "read" : "written";
    const char* after = problem.act == Act::Read ? "it is kept as it is and nothing is written over it in this run"
                                                 : "what was there before is kept";
    return "WARNING: " + problem.path + " could not be " + done + " (" + problem.outcome.reason + "); " + after;
}

void Tell(const Problem& problem, bool keep)
{
    Memory& memory = TheMemory();
    std::function<void(const Problem&)> listener;
    {
        const std::lock_guard<std::mutex> held(memory.lock);
        if (keep)
            memory.kept.emplace(problem.path, problem.outcome.folder);
        // A folder that cannot be searched is told once, for all in it.
        if (!memory.told.insert(problem.Subject()).second)
            return;
        listener = memory.listener;
    }
    const std::string line = LineOf(problem);
    // The game switches the session log off: a player started from a
    // terminal sees the line there.
    std::fprintf(stderr, "%s\n", line.c_str());
    if (theConsole != nullptr)
        theConsole->Printf("%s", line.c_str());
    if (listener)
        listener(problem);
}
} // namespace

void ReportUnreadable(const std::string& path, const Platform::Files::Outcome& outcome)
{
    Tell(Problem{Act::Read, Platform::Files::Resolve(path), outcome}, true);
}

Platform::Files::Presence Find(const std::string& path, Platform::Files::Outcome& why)
{
    const Platform::Files::Presence presence = Platform::Files::Exists(path, &why);
    if (presence == Platform::Files::Presence::Unreadable)
        ReportUnreadable(path, why);
    return presence;
}

void ReportUnwritable(const std::string& path, const Platform::Files::Outcome& outcome)
{
    Tell(Problem{Act::Write, Platform::Files::Resolve(path), outcome}, false);
}

bool IsKept(const std::string& path)
{
    Memory& memory = TheMemory();
    const std::lock_guard<std::mutex> held(memory.lock);
    return memory.kept.count(Platform::Files::Resolve(path)) != 0;
}

std::string KeptBehind(const std::string& path)
{
    Memory& memory = TheMemory();
    const std::lock_guard<std::mutex> held(memory.lock);
    const auto found = memory.kept.find(Platform::Files::Resolve(path));
    return found == memory.kept.end() ? std::string() : found->second;
}

bool MayReplace(const std::string& path)
{
    // Examined now as well: a file another program made unreadable since,
    // or one this run never read, is as much the player's.
    const Platform::Files::Outcome there = Platform::Files::Examine(path);
    if (there.failure != Platform::Files::Failure::None && there.failure != Platform::Files::Failure::Missing)
        ReportUnreadable(path, there);
    return !IsKept(path);
}

void SetListener(std::function<void(const Problem&)> listener)
{
    Memory& memory = TheMemory();
    const std::lock_guard<std::mutex> held(memory.lock);
    memory.listener = std::move(listener);
}
} // namespace FileProblems
