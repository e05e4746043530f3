#pragma once

#include <functional>
#include <string>

// How a statement run in a child process of its own ended: the exit code
// (-1 when a signal ended it) and what it wrote on standard error, caught
// through a pipe. For statements that end the process: gtest's death tests
// catch that stream in a file under /tmp, whatever TMPDIR says.
struct ChildExit
{
    int code;
    std::string errorText;
};

ChildExit RunInChild(const std::function<void()>& statement);
