// The crash window's own process: started by a program that has failed, with
// the report file it wrote, so that the window never runs inside the failed
// process.
#include "app/Console.h"
#include "app/CrashCatcher.h"
#include "platform/Folders.h"
#include "platform/Shell.h"

#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // The session log belongs to the failed program; a session of our own
    // would start it over.
    theConsole->enabled = false;
    std::vector<std::string> arguments(argv, argv + argc);
    // The window's font lies beside the program, and is found from there; the
    // report file is where the failed program's working folder put it.
    if (arguments.size() > 1)
        arguments[1] = std::filesystem::absolute(arguments[1]).string();
    Platform::Shell::SetWorkingFolder(Platform::Folders::Program());
    return theCrashCatcher.RunReporter(arguments) ? 0 : 2;
}
