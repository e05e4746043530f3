#include "support/CaughtStderr.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

CaughtStderr::CaughtStderr() : saved(dup(2))
{
    std::fflush(stderr);
    const int file = open((folder / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, 2);
    close(file);
}

CaughtStderr::~CaughtStderr()
{
    Restore();
}

std::string CaughtStderr::Text()
{
    Restore();
    return folder.ReadText("stderr");
}

void CaughtStderr::Restore()
{
    if (saved < 0)
        return;
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    saved = -1;
}
