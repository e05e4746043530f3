#pragma once

// Tells renderers that the video driver lost their targets or the whole
// device, as a driver does after a mode change or a GPU reset.
namespace RenderDeviceEvents {
void TargetsReset();
void DeviceReset();
} // namespace RenderDeviceEvents
