// A library whose loading never ends: the thread that loads it stops for
// good inside its constructor, holding the dynamic loader's lock, as a
// thread stopped while loading a module would. It says so first on the
// descriptor named by QS_HELD_LOADER_FD.
#include <cstdlib>
#include <unistd.h>

__attribute__((constructor)) static void HoldTheLoader()
{
    if (const char* fd = std::getenv("QS_HELD_LOADER_FD")) {
        const char held = 1;
        (void)!write(std::atoi(fd), &held, 1);
    }
    for (;;)
        pause();
}
