#include "app/GraphicDevice.h"

#include "app/Graphics.h"

GraphicDevice::~GraphicDevice()
{
    if (mRegistered) {
        theGraphics.mDevices.Remove(this);
    }
}

void GraphicDevice::Register()
{
    if (theGraphics.mDevices.IndexOf(this) < 0) {
        theGraphics.mDevices.Add(this);
    }
    mRegistered = 1;
}
