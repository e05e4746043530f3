#include "RenderDeviceEvents.h"

#include <SDL2/SDL.h>

namespace RenderDeviceEvents {
namespace {
void Push(Uint32 type)
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
        SDL_InitSubSystem(SDL_INIT_EVENTS);
    }
    SDL_Event event{};
    event.type = type;
    event.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&event);
    // The renderers heard it as it was pushed; the queue need not keep it.
    SDL_FlushEvent(type);
}
} // namespace

void TargetsReset()
{
    Push(SDL_RENDER_TARGETS_RESET);
}

void DeviceReset()
{
    Push(SDL_RENDER_DEVICE_RESET);
}
} // namespace RenderDeviceEvents
