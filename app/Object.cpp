#include "app/Object.h"

#include "app/App.h"

Object::Object()
{
    // Objects built before the application (static ones) all get serial 0.
    if (theApp != nullptr)
        serial = theApp->objectCounter.fetch_add(1);
}

Object::~Object() = default;

void Object::Update() {}

void Object::UpdateFractional(float) {}

void Object::Draw() {}

void Object::Notify(Object*) {}

void Object::Kill()
{
    killed = true;
}

void Object::Pause()
{
    ++pauseCount;
}

void Object::Resume()
{
    if (pauseCount > 0)
        --pauseCount;
}
