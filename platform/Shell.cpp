#include "platform/Shell.h"

#include <SDL2/SDL.h>
#include <cstdio>
#include <unistd.h>

namespace Platform::Shell {
namespace {
std::vector<std::string>& KeptArguments()
{
    static std::vector<std::string> arguments;
    return arguments;
}
} // namespace

void SetArguments(int argc, const char* const* argv)
{
    KeptArguments().assign(argv, argv + argc);
}

const std::vector<std::string>& Arguments()
{
    return KeptArguments();
}

bool SetWorkingFolder(const std::string& path)
{
    return !path.empty() && chdir(path.c_str()) == 0;
}

void PrintError(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
}

bool Open(const std::string& target)
{
    return SDL_OpenURL(target.c_str()) == 0;
}

std::string GetClipboardText()
{
    char* text = SDL_GetClipboardText();
    std::string result = text != nullptr ? text : "";
    SDL_free(text);
    return result;
}

bool SetClipboardText(const std::string& text)
{
    return SDL_SetClipboardText(text.c_str()) == 0;
}
} // namespace Platform::Shell
