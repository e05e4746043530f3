#pragma once

#include <cstdint>

namespace Platform {
class Window;
}

// The whole keyboard's state, sampled once per logic tick, so that code can
// ask whether a key is held or went down since the previous tick. Keys are
// the codes of Platform::KeyCode. A static object, like InputManager.
class Keyboard
{
  public:
    Keyboard();
    virtual ~Keyboard() = default;

    // Makes the keyboard device (once direct input exists).
    void Initialize(Platform::Window* window);
    void Poll();
    // Clears both samples; keys read as up until the next good poll.
    void Reacquire();

    bool IsKeyDown(int key) const { return (state[current][key & 0xFF] & 0x80) != 0; }
    bool WentDown(int key) const { return IsKeyDown(key) && (state[1 - current][key & 0xFF] & 0x80) == 0; }

    // Index of the buffer with the latest sample; the other holds the one
    // before.
    int current = 0;
    uint8_t state[2][256] = {};

    // The vocabulary for showing a key to the user, "???" for unnamed codes.
    static const char* keyNames[255];
};

extern Keyboard theKeyboard;
