#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Every suite runs with a home, data, settings and runtime folder of its
// own: what a test writes by the user's folders (settings, the session log
// on the desktop, the hardware tester's results, the single-instance
// socket) stays out of the real ones and goes with the suite.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    TemporaryFolder home;
    setenv("HOME", home.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    // The folder is the user's own and closed to others, as a runtime folder must be.
    setenv("XDG_RUNTIME_DIR", home.Path().c_str(), 1);
    return RUN_ALL_TESTS();
}
