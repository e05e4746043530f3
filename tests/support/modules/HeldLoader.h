#pragma once

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

// Starts a thread that loads HeldLoader.so, whose loading never ends, and
// returns once that thread holds the dynamic loader's lock for good; false
// when it could not be started. held is the pipe the module says so on,
// and stays open.
inline bool HoldTheLoaderOnAnotherThread(int (&held)[2])
{
    if (pipe(held) != 0)
        return false;
    setenv("QS_HELD_LOADER_FD", std::to_string(held[1]).c_str(), 1);
    std::thread([] {
        const char* folder = std::getenv("QS_TEST_MODULES");
        dlopen((std::string(folder != nullptr ? folder : ".") + "/HeldLoader.so").c_str(), RTLD_NOW);
    }).detach();
    char byte;
    return read(held[0], &byte, 1) == 1;
}
