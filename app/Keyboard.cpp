#include "app/Keyboard.h"

#include "app/InputManager.h"
#include "platform/Keyboard.h"

#include <cstring>

Keyboard theKeyboard;

const char* Keyboard::keyNames[255];

namespace {
struct KeyName
{
    int code;
    const char* name;
};

constexpr KeyName kNames[] = {
    {0x01, "ESC"},
    {0x02, "1"},
    {0x03, "2"},
    {0x04, "3"},
    {0x05, "4"},
    {0x06, "5"},
    {0x07, "6"},
    {0x08, "7"},
    {0x09, "8"},
    {0x0A, "9"},
    {0x0B, "0"},
    {0x0C, "-"},
    {0x0D, "="},
    {0x0E, "BACKSPACE"},
    {0x0F, "TAB"},
    {0x10, "Q"},
    {0x11, "W"},
    {0x12, "E"},
    {0x13, "R"},
    {0x14, "T"},
    {0x15, "Y"},
    {0x16, "U"},
    {0x17, "I"},
    {0x18, "O"},
    {0x19, "P"},
    {0x1A, "["},
    {0x1B, "]"},
    {0x1C, "ENTER"},
    {0x1D, "LEFT CTRL"},
    {0x1E, "A"},
    {0x1F, "S"},
    {0x20, "D"},
    {0x21, "F"},
    {0x22, "G"},
    {0x23, "H"},
    {0x24, "J"},
    {0x25, "K"},
    {0x26, "L"},
    {0x27, ";"},
    {0x28, "'"},
    {0x29, "`"},
    {0x2A, "LEFT SHIFT"},
    {0x2B, "\\"},
    {0x2C, "Z"},
    {0x2D, "X"},
    {0x2E, "C"},
    {0x2F, "V"},
    {0x30, "B"},
    {0x31, "N"},
    {0x32, "M"},
    {0x33, ","},
    {0x34, "."},
    {0x35, "/"},
    {0x36, "RIGHT SHIFT"},
    {0x37, "* (KEYPAD)"},
    {0x38, "LEFT ALT"},
    {0x39, "SPACE"},
    {0x3A, "CAPS LOCK"},
    {0x3B, "F1"},
    {0x3C, "F2"},
    {0x3D, "F3"},
    {0x3E, "F4"},
    {0x3F, "F5"},
    {0x40, "F6"},
    {0x41, "F7"},
    {0x42, "F8"},
    {0x43, "F9"},
    {0x44, "F10"},
    {0x45, "NUMLOCK"},
    {0x46, "SCROLL LOCK"},
    {0x47, "7 (KEYPAD)"},
    {0x48, "8 (KEYPAD)"},
    {0x49, "9 (KEYPAD)"},
    {0x4A, "- (KEYPAD)"},
    {0x4B, "4 (KEYPAD)"},
    {0x4C, "5 (KEYPAD)"},
    {0x4D, "6 (KEYPAD)"},
    {0x4E, "+ (KEYPAD)"},
    {0x4F, "1 (KEYPAD)"},
    {0x50, "2 (KEYPAD)"},
    {0x51, "3 (KEYPAD)"},
    {0x52, "0 (KEYPAD)"},
    {0x53, ". (KEYPAD)"},
    {0x57, "F11"},
    {0x58, "F12"},
    {0x64, "F13"},
    {0x65, "F14"},
    {0x66, "F15"},
    {0x8D, "= (KEYPAD)"},
    {0x90, "PREVIOUS"},
    {0x99, "NEXT TRACK"},
    {0x9C, "ENTER (KEYPAD)"},
    {0x9D, "RIGHT CTRL"},
    {0xA0, "MUTE"},
    {0xA1, "CALCULATOR"},
    {0xA2, "PAUSE"},
    {0xA4, "MEDIA STOP"},
    {0xAE, "VOLUME DOWN"},
    {0xB0, "VOLUME UP"},
    {0xB2, "WEB HOME"},
    {0xB3, ", (KEYPAD)"},
    {0xB5, "/ (KEYPAD)"},
    {0xB8, "RIGHT ALT"},
    {0xC5, "PAUSE"},
    {0xC7, "HOME"},
    {0xC8, "UP ARROW"},
    {0xC9, "PAGE UP"},
    {0xCB, "LEFT ARROW"},
    {0xCD, "RIGHT ARROW"},
    {0xCF, "END"},
    {0xD0, "DOWN ARROW"},
    {0xD1, "PAGE DOWN"},
    {0xD2, "INSERT"},
    {0xD3, "DELETE"},
    {0xDB, "LEFT WIN"},
    {0xDC, "RIGHT WIN"},
    {0xDD, "APPLICATION"},
    {0xDE, "POWER"},
    {0xDF, "SLEEP"},
    {0xE3, "WAKE"},
    {0xE5, "WEB SEARCH"},
    {0xE6, "FAVORITES"},
    {0xE7, "WEB REFRESH"},
    {0xE8, "WEB STOP"},
    {0xE9, "WEB FORWARD"},
    {0xEA, "WEB BACK"},
    {0xEB, "MY COMPUTER"},
    {0xEC, "MAIL"},
    {0xED, "MEDIA SELECT"},
};
} // namespace

Keyboard::Keyboard()
{
    for (const char*& name : keyNames)
        name = "???";
    for (const KeyName& entry : kNames)
        keyNames[entry.code] = entry.name;
}

void Keyboard::Initialize(Platform::Window*)
{
    if (!theInputManager.directInput || theInputManager.keyboardDevice)
        return;
    theInputManager.keyboardDevice = true;
    current = 0;
}

// A failed read has already flipped the buffers; both are cleared, so keys
// read as up until the window has the focus again.
void Keyboard::Poll()
{
    if (!theInputManager.keyboardDevice)
        return;
    current = 1 - current;
    if (!Platform::Keyboard::GetState(state[current]))
        Reacquire();
}

void Keyboard::Reacquire()
{
    if (!theInputManager.keyboardDevice)
        return;
    std::memset(state, 0, sizeof(state));
}
