#include "app/Oscillator.h"

#include "app/App.h"

Oscillator::Oscillator()
{
    if (theApp != nullptr)
        theApp->rootObjects.Add(this);
}

Oscillator::~Oscillator()
{
    if (theApp != nullptr)
        theApp->rootObjects.Remove(this);
}

void Oscillator::Update()
{
    ++count;
    if (count >= period) {
        count -= period;
        state = !state;
        changed = true;
    }
}
