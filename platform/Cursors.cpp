#include "platform/Cursors.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <array>
#include <vector>

namespace Platform {
struct Cursor
{
    bool system = false;
    Cursors::System kind = Cursors::System::Arrow;
    // The window system's mask convention: data and mask bits per pixel.
    std::array<uint8_t, 128> data{};
    std::array<uint8_t, 128> mask{};
    // A colour cursor's pixels (0xAARRGGBB); empty for the others.
    std::vector<uint32_t> colour;
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    SDL_Cursor* realised = nullptr;
};

namespace Cursors {
namespace {
std::vector<Cursor*>& Realised()
{
    static std::vector<Cursor*> realised;
    return realised;
}

SDL_SystemCursor SystemId(System kind)
{
    switch (kind) {
    case System::Wait:
        return SDL_SYSTEM_CURSOR_WAIT;
    case System::Hand:
        return SDL_SYSTEM_CURSOR_HAND;
    case System::IBeam:
        return SDL_SYSTEM_CURSOR_IBEAM;
    default:
        return SDL_SYSTEM_CURSOR_ARROW;
    }
}

SDL_Cursor* RealiseColour(Cursor& cursor)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        cursor.colour.data(), cursor.width, cursor.height, 32, cursor.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr)
        return nullptr;
    SDL_Cursor* made = SDL_CreateColorCursor(surface, cursor.hotX, cursor.hotY);
    SDL_FreeSurface(surface);
    return made;
}

void Realise(Cursor& cursor)
{
    if (cursor.realised != nullptr || SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return;
    if (cursor.system)
        cursor.realised = SDL_CreateSystemCursor(SystemId(cursor.kind));
    else if (!cursor.colour.empty())
        cursor.realised = RealiseColour(cursor);
    else
        cursor.realised =
            SDL_CreateCursor(cursor.data.data(), cursor.mask.data(), 32, 32, cursor.hotX, cursor.hotY);
    if (cursor.realised != nullptr)
        Realised().push_back(&cursor);
}

void Unrealise(Cursor& cursor)
{
    if (cursor.realised == nullptr)
        return;
    if (SDL_GetCursor() == cursor.realised)
        SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_FreeCursor(cursor.realised);
    cursor.realised = nullptr;
    auto& realised = Realised();
    realised.erase(std::remove(realised.begin(), realised.end(), &cursor), realised.end());
}
} // namespace

Cursor* LoadSystem(System kind)
{
    Cursor* cursor = new Cursor;
    cursor->system = true;
    cursor->kind = kind;
    return cursor;
}

// AND 1 / XOR 1 (inverted) becomes data 1 / mask 0, which the window system
// also draws inverted where it can.
Cursor* Create(const uint32_t andMask[32], const uint32_t xorMask[32], int hotX, int hotY)
{
    Cursor* cursor = new Cursor;
    for (int row = 0; row < 32; ++row) {
        for (int byte = 0; byte < 4; ++byte) {
            int shift = 24 - 8 * byte;
            uint8_t andBits = static_cast<uint8_t>(andMask[row] >> shift);
            uint8_t xorBits = static_cast<uint8_t>(xorMask[row] >> shift);
            cursor->mask[row * 4 + byte] = static_cast<uint8_t>(~andBits);
            cursor->data[row * 4 + byte] = static_cast<uint8_t>(~(andBits ^ xorBits));
        }
    }
    cursor->hotX = hotX;
    cursor->hotY = hotY;
    return cursor;
}

Cursor* CreateColor(const uint32_t* pixels, int width, int height, int hotX, int hotY)
{
    if (pixels == nullptr || width <= 0 || height <= 0)
        return nullptr;
    Cursor* cursor = new Cursor;
    cursor->colour.assign(pixels, pixels + static_cast<size_t>(width) * height);
    cursor->width = width;
    cursor->height = height;
    // The window system refuses a hot spot outside the picture.
    cursor->hotX = std::clamp(hotX, 0, width - 1);
    cursor->hotY = std::clamp(hotY, 0, height - 1);
    return cursor;
}

void Free(Cursor* cursor)
{
    if (cursor == nullptr)
        return;
    Unrealise(*cursor);
    delete cursor;
}

void Show(Cursor* cursor)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return;
    if (cursor == nullptr) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    Realise(*cursor);
    SDL_Cursor* shown = cursor->realised != nullptr ? cursor->realised : SDL_GetDefaultCursor();
    if (shown != nullptr && SDL_GetCursor() != shown)
        SDL_SetCursor(shown);
    SDL_ShowCursor(SDL_ENABLE);
}

void ForgetRealised()
{
    std::vector<Cursor*> realised = Realised();
    for (Cursor* cursor : realised)
        Unrealise(*cursor);
}
} // namespace Cursors
} // namespace Platform
