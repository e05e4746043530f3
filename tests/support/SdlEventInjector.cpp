#include "SdlEventInjector.h"

#include <SDL2/SDL.h>

#include <cstring>

namespace SdlEventInjector {
namespace {
void Push(SDL_Event& event)
{
    event.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&event);
}

uint32_t FocusWindowId()
{
    SDL_Window* window = SDL_GetKeyboardFocus();
    return window != nullptr ? SDL_GetWindowID(window) : 0;
}
} // namespace

void MouseMotion(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = FocusWindowId();
    event.motion.x = x;
    event.motion.y = y;
    Push(event);
}

void MouseButton(int x, int y, Button button, bool down, uint32_t time)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = FocusWindowId();
    event.button.button = button == Button::Left     ? SDL_BUTTON_LEFT
                          : button == Button::Middle ? SDL_BUTTON_MIDDLE
                                                     : SDL_BUTTON_RIGHT;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    // Pushing would stamp it with the time of now.
    event.common.timestamp = time != 0 ? time : SDL_GetTicks();
    SDL_PeepEvents(&event, 1, SDL_ADDEVENT, 0, 0);
}

void MouseWheel(int steps)
{
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = FocusWindowId();
    event.wheel.y = steps;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Push(event);
}

void Key(const char* name, bool down, bool alt, bool repeat)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = FocusWindowId();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = SDL_GetScancodeFromName(name);
    event.key.keysym.sym = SDL_GetKeyFromName(name);
    event.key.keysym.mod = alt ? KMOD_LALT : KMOD_NONE;
    Push(event);
}

void Text(const char* utf8)
{
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = FocusWindowId();
    std::strncpy(event.text.text, utf8, sizeof(event.text.text) - 1);
    Push(event);
}

void Window(WindowChange change)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    switch (change) {
    case WindowChange::FocusGained:
        event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
        break;
    case WindowChange::FocusLost:
        event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
        break;
    case WindowChange::Close:
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        break;
    case WindowChange::Exposed:
        event.window.event = SDL_WINDOWEVENT_EXPOSED;
        break;
    case WindowChange::PointerLeft:
        event.window.event = SDL_WINDOWEVENT_LEAVE;
        break;
    }
    Push(event);
}

void Quit()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    Push(event);
}
} // namespace SdlEventInjector
