#pragma once

#include <functional>
#include <sys/types.h>
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

// A child whose statement throws, or fails an assertion of the test, ends
// with a code of its own: the exception must not reach the test framework
// in the child, which would run the rest of the suite there, and the
// assertion would be lost with the child.
constexpr int kChildThrew = 125;
constexpr int kChildFailed = 124;

// Ends a forked child with the code "body" returns, or with one of the two
// above, saying on standard error what was thrown.
[[noreturn]] void EndChild(const std::function<int()>& body);

// In the parent: the test fails when its child ended with either code,
// with what the child said.
void FailOnChildFault(int code, const std::string& said);

// A child's own failure or exception fails the test; its exit code is the
// caller's to judge otherwise.
ChildExit RunInChild(const std::function<void()>& statement);

// Forks a child that runs "work" until it is killed, and returns its pid
// once it has begun: a kill at a random moment after that meets it at work,
// however long a loaded machine takes to run a new process. -1 when no
// child could be had.
pid_t StartWorkingChild(const std::function<void()>& work);
