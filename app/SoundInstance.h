#pragma once

#include "platform/Sound.h"

#include <cstdint>
#include <memory>

// One voice of a Sound: a buffer with its volume, looping state and own
// sample rate. None of its operations moves the play position, so a voice
// stopped in the middle resumes there.
class SoundInstance
{
public:
    explicit SoundInstance(std::unique_ptr<Platform::SoundBuffer> buffer);
    virtual ~SoundInstance();
    SoundInstance(const SoundInstance&) = delete;
    SoundInstance& operator=(const SoundInstance&) = delete;

    void SetVolume(float volume);
    void ResetFrequency();
    void SetPitch(float factor);
    void Play(float volume);
    void PlayLooped(float volume);
    void Stop();
    bool IsPlaying() const;

    float GetVolume() const { return volume; }
    bool IsLooping() const { return looping; }
    uint32_t GetBaseFrequency() const { return baseFrequency; }
    Platform::SoundBuffer* GetBuffer() const { return buffer.get(); }
    // The device goes away: the voice keeps its object but plays nothing.
    void ReleaseBuffer();

private:
    std::unique_ptr<Platform::SoundBuffer> buffer;
    float volume = 1.0f;
    bool looping = false;
    uint32_t baseFrequency = 44100;
};
