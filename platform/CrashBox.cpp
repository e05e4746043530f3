#include "platform/Crash.h"

#include <SDL2/SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>

namespace Platform::Crash {
namespace {
void AppendWrapped(std::string line, size_t columns, std::vector<std::string>& lines)
{
    while (line.size() > columns) {
        size_t space = line.rfind(' ', columns);
        size_t cut = (space == std::string::npos || space == 0) ? columns : space;
        lines.push_back(line.substr(0, cut));
        line.erase(0, cut == space ? cut + 1 : cut);
    }
    lines.push_back(line);
}
} // namespace

std::string FitToScreen(const std::string& text, int screenWidth, int screenHeight)
{
    size_t columns = static_cast<size_t>(std::max(1, (screenWidth - kBoxSideRoom) / kBoxGlyphWidth));
    size_t rows = static_cast<size_t>(std::max(2, (screenHeight - kBoxTopAndBottomRoom) / kBoxLineHeight));
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        AppendWrapped(line, columns, lines);
    }
    if (lines.size() > rows) {
        lines.resize(rows - 1);
        lines.push_back("...");
    }
    std::string fitted;
    for (const std::string& line : lines)
        fitted += (fitted.empty() ? "" : "\n") + line;
    return fitted;
}

int Choose(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
           int defaultButton)
{
    // The first screen is where the box opens.
    std::string shown = text;
    bool video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    SDL_Rect screen;
    if (video && SDL_GetDisplayUsableBounds(0, &screen) == 0)
        shown = FitToScreen(text, screen.w, screen.h);
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = static_cast<int>(i) == defaultButton ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
        data.push_back({flags, static_cast<int>(i), buttons[i].c_str()});
    }
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_ERROR | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.title = title.c_str();
    box.message = shown.c_str();
    box.numbuttons = static_cast<int>(data.size());
    box.buttons = data.data();
    int pressed = -1;
    bool failed = SDL_ShowMessageBox(&box, &pressed) != 0;
    if (video)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (failed) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return defaultButton;
    }
    return pressed < 0 ? defaultButton : pressed;
}

bool HasTerminal()
{
    return isatty(STDIN_FILENO) != 0;
}

std::string ReadTerminalLine(const std::string& prompt, size_t maxLength)
{
    if (!HasTerminal())
        return std::string();
    std::fprintf(stderr, "%s", prompt.c_str());
    std::string line;
    std::getline(std::cin, line);
    return line.substr(0, maxLength);
}
} // namespace Platform::Crash
