#pragma once

#include "app/Object.h"

class Sound;
class SoundInstance;

// A looping sound wanted by any number of users at once: it starts with the
// first request and fades out over 40 ticks after the last is released. It
// lives in the application's root objects, whose updates run the fade.
// Paused, it is silent and its fade waits; the last resume lets it go on
// from where it stood, at the volume it had.
class AudioLooper : public Object
{
public:
    // Without an application nothing runs the fade.
    AudioLooper();
    ~AudioLooper() override;

    void Update() override;
    void Pause() override;
    void Resume() override;

    // Takes one voice of the sound for good; it stays the sound's own.
    void SetSound(Sound& sound);
    void Start();
    void Release();
    void Stop();
    void SetVolume(float v);
    void SetPitch(float factor);

    int GetRequests() const { return requests; }
    bool IsStopping() const { return stopping; }
    SoundInstance* GetVoice() const { return voice; }

private:
    int requests = 0;
    bool stopping = false;
    bool held = false; // sounding when paused: it sounds again on resume
    float volume = 1.0f;
    float baseVolume = 1.0f;
    float fadeLevel = 0.0f;
    float fadeStep = 0.025f;
    SoundInstance* voice = nullptr;
};
