#pragma once

// Owns the direct keyboard input of the program. A static object: built
// before the application object and destroyed after it.
class InputManager
{
  public:
    InputManager() = default;
    virtual ~InputManager();

    // Called once by the application's start-up.
    void Initialize();
    // Called by the application's destructor.
    void Shutdown();

    // Direct input is available (after Initialize).
    bool directInput = false;
    // The keyboard device exists (made by Keyboard::Initialize).
    bool keyboardDevice = false;
};

extern InputManager theInputManager;
