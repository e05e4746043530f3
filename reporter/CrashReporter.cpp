// The crash window's own process: started by a program that has failed, with
// the report file it wrote, so that the window never runs inside the failed
// process.
#include "app/Console.h"
#include "app/CrashCatcher.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // The session log belongs to the failed program; a session of our own
    // would start it over.
    theConsole->enabled = false;
    std::vector<std::string> arguments(argv, argv + argc);
    return theCrashCatcher.RunReporter(arguments) ? 0 : 2;
}
