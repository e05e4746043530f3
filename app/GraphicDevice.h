#pragma once

#include <cstdint>

// A resource that holds device objects outside Graphics and registers with it
// to hear of device loss, recovery, mode switches and activation.
class GraphicDevice
{
  public:
    GraphicDevice() = default;
    GraphicDevice(const GraphicDevice&) = delete;
    GraphicDevice& operator=(const GraphicDevice&) = delete;
    virtual ~GraphicDevice();

    virtual void Release() {}
    virtual void Restore() {}
    virtual void OnSuspend() {}
    virtual void OnActivate(bool active) { (void)active; }

    // Subclasses call it when they make their device objects.
    void Register();

    // Information for the subclass: set on loss and before a rebuild's Restore.
    uint8_t mNeedsRecovery = 0;
    uint8_t mRegistered = 0;
};
