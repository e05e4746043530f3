#include "app/Audio.h"

#include "app/Console.h"
#include "app/SoundInstance.h"

#include <algorithm>
#include <cmath>

Audio theAudio;

Audio::~Audio()
{
    Shutdown();
}

// The window is not needed: the device is shared with other programs as the
// system's mixer decides.
void Audio::Initialize(Platform::NativeWindow* /*window*/)
{
    shutDown = false;
    if (!device.Open() && theConsole) {
        theConsole->Printf("WARNING: no sound device, the game runs silently");
    }
    ResetSoundVolume();
}

void Audio::Shutdown()
{
    if (shutDown) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(instancesLock);
        for (SoundInstance* instance : instances) {
            instance->ReleaseBuffer();
        }
        instances.clear();
    }
    device.Close();
    shutDown = true;
}

// Activation changes nothing: the mixer goes on playing in the background.
void Audio::SetActive(bool /*active*/) {}

void Audio::Update() {}

// Single precision throughout, so the curve gives exactly the levels the
// game was tuned with.
int32_t Audio::VolumeToAttenuation(float volume)
{
    const float x = 1.0f + 9.0f * volume;
    const float attenuation = (std::log10(x) - 1.0f) * 2333.0f;
    if (!(attenuation > -2333.0f)) {
        return Platform::kSoundSilence;
    }
    // Above full volume there is nothing to amplify with.
    return attenuation >= 0.0f ? 0 : static_cast<int32_t>(attenuation);
}

void Audio::SetSoundVolume(float volume, bool applyToPlaying)
{
    soundVolume = volume;
    if (!applyToPlaying) {
        return;
    }
    std::lock_guard<std::mutex> guard(instancesLock);
    for (SoundInstance* instance : instances) {
        instance->SetVolume(instance->GetVolume());
    }
}

void Audio::ResetSoundVolume()
{
    SetSoundVolume(1.0f, true);
}

void Audio::AddInstance(SoundInstance* instance)
{
    std::lock_guard<std::mutex> guard(instancesLock);
    instances.push_back(instance);
}

void Audio::RemoveInstance(SoundInstance* instance)
{
    std::lock_guard<std::mutex> guard(instancesLock);
    std::erase(instances, instance);
}
