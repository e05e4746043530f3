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

void Realise(Cursor& cursor)
{
    if (cursor.realised != nullptr || SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return;
    cursor.realised = cursor.system ? SDL_CreateSystemCursor(SystemId(cursor.kind))
                                    : SDL_CreateCursor(cursor.data.data(), cursor.mask.data(), 32, 32,
                                                       cursor.hotX, cursor.hotY);
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
