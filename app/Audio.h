#pragma once

#include "platform/NativeWindow.h"
#include "platform/Sound.h"

#include <cstdint>
#include <mutex>
#include <vector>

class SoundInstance;

// The program's one sound device, with the master sound volume and every
// live voice, so that a change of the master volume reaches sounds already
// playing. Without a device the game runs silently.
class Audio
{
public:
    Audio() = default;
    virtual ~Audio();
    Audio(const Audio&) = delete;
    Audio& operator=(const Audio&) = delete;

    // Runs again on the same object when the application is rebuilt.
    void Initialize(Platform::NativeWindow* window);
    void Shutdown();
    void SetActive(bool active);
    void Update();

    // Linear volume 0..1 to hundredths of a decibel, -10000 meaning silence.
    static int32_t VolumeToAttenuation(float volume);
    void SetSoundVolume(float volume, bool applyToPlaying);
    void ResetSoundVolume();
    float GetSoundVolume() const { return soundVolume; }

    bool IsShutDown() const { return shutDown; }
    // Null without a device: nothing is loaded or played then.
    Platform::SoundMixer* GetMixer() { return device.GetMixer(); }

    void AddInstance(SoundInstance* instance);
    void RemoveInstance(SoundInstance* instance);

private:
    Platform::SoundDevice device;
    float soundVolume = 1.0f;
    // Voices are added on the loader thread while the main thread may walk
    // the list.
    std::mutex instancesLock;
    std::vector<SoundInstance*> instances; // not owned, in order of creation
    bool shutDown = true;
};

extern Audio theAudio;
