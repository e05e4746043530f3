#include "platform/Dialogs.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace Platform::Dialogs {
namespace {
std::atomic<Recorder*> gRecorder{nullptr};

// The callers write Windows line ends; the boxes here want bare ones.
std::string WithBareLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    }
    return out;
}

// SDL has no bell. On X11 the X server's rings, through the display
// connection of the window the player is at, with the libX11 that SDL loads
// itself; false where that cannot be done.
bool RingWindowSystemBell()
{
    SDL_Window* window = SDL_GetKeyboardFocus();
    if (window == nullptr)
        window = SDL_GetMouseFocus();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    using Call = int (*)(Display*, int);
    using Flush = int (*)(Display*);
    static void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    static auto bell = x11 ? reinterpret_cast<Call>(dlsym(x11, "XBell")) : nullptr;
    static auto flush = x11 ? reinterpret_cast<Flush>(dlsym(x11, "XFlush")) : nullptr;
    if (bell == nullptr || flush == nullptr)
        return false;
    bell(info.info.x11.display, 0);
    flush(info.info.x11.display);
    return true;
}

Recorder* Record(const std::string& title, const std::string& text, int Recorder::*counter)
{
    Recorder* recorder = gRecorder.load();
    if (recorder) {
        ++(recorder->*counter);
        recorder->title = title;
        recorder->text = text;
    }
    return recorder;
}
} // namespace

Recorder::Recorder() : mPrevious(gRecorder.exchange(this)) {}

Recorder::~Recorder()
{
    gRecorder.store(mPrevious);
}

void ShowMessage(const std::string& title, const std::string& text)
{
    if (Record(title, text, &Recorder::messages)) {
        return;
    }
    const std::string shown = WithBareLineEnds(text);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), shown.c_str(), nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", title.c_str(), shown.c_str());
}

bool AskYesNo(const std::string& title, const std::string& text, bool defaultYes)
{
    if (const Recorder* recorder = Record(title, text, &Recorder::questions)) {
        return recorder->answer;
    }
    enum { kNo, kYes };
    const Uint32 yesFlags = defaultYes ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
    // Escape always answers No; Enter gives the default answer.
    const Uint32 noFlags =
        SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT | (defaultYes ? 0 : SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
    const SDL_MessageBoxButtonData buttons[2] = {{yesFlags, kYes, "Yes"}, {noFlags, kNo, "No"}};
    // SDL has no question icon; the information one is the nearest.
    const std::string shown = WithBareLineEnds(text);
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_INFORMATION | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.title = title.c_str();
    box.message = shown.c_str();
    box.numbuttons = 2;
    box.buttons = buttons;
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        std::fprintf(stderr, "%s: %s [%s]\n", title.c_str(), shown.c_str(), defaultYes ? "Yes" : "No");
        return defaultYes;
    }
    return pressed == kYes;
}

void Beep()
{
    if (Recorder* recorder = gRecorder.load()) {
        ++recorder->beeps;
        return;
    }
    if (!RingWindowSystemBell() && isatty(STDERR_FILENO)) {
        std::fputc('\a', stderr);
        std::fflush(stderr);
    }
}
} // namespace Platform::Dialogs
