#include "platform/Dialogs.h"

#include <SDL2/SDL.h>
#include <unistd.h>

#include <cstdio>

namespace Platform::Dialogs {
void ShowMessage(const std::string& title, const std::string& text)
{
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(), nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

void Beep()
{
    if (isatty(STDERR_FILENO)) {
        std::fputc('\a', stderr);
        std::fflush(stderr);
    }
}
} // namespace Platform::Dialogs
