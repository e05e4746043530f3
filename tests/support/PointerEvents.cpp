#include "PointerEvents.h"

#include <SDL2/SDL.h>

namespace PointerEvents {
void MoveTo(Platform::NativeWindow* nativeWindow, int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.common.timestamp = SDL_GetTicks();
    event.motion.windowID = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(nativeWindow));
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}
} // namespace PointerEvents
