#include "app/InputManager.h"

InputManager theInputManager;

InputManager::~InputManager()
{
    Shutdown();
}

// The platform's keyboard state needs no library of its own, so input is
// always available.
void InputManager::Initialize()
{
    directInput = true;
    keyboardDevice = false;
}

void InputManager::Shutdown()
{
    keyboardDevice = false;
    directInput = false;
}
