#pragma once

#include "support/TemporaryFolder.h"

#include <string>

// The standard error stream caught in a file of the test's own folder, from
// construction until Text() or the end of the object (gtest's own capture
// always writes in /tmp, whatever TMPDIR says).
class CaughtStderr
{
  public:
    CaughtStderr();
    ~CaughtStderr();
    CaughtStderr(const CaughtStderr&) = delete;
    CaughtStderr& operator=(const CaughtStderr&) = delete;

    // Ends the catch and gives back what was written.
    std::string Text();

  private:
    void Restore();

    TemporaryFolder folder;
    int saved;
};
