#pragma once

#include "app/SoundInstance.h"
#include "app/String.h"

#include <memory>
#include <vector>

// One sound effect, loaded once by base name from the decoded-sound cache,
// an Ogg Vorbis or a WAV file, and played in turn on its few voices so that
// plays can overlap.
class Sound
{
public:
    Sound() = default;
    virtual ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // name without extension; the sound gets 1 + extraVoices voices.
    void Load(const String& name, int extraVoices = 0);
    void Play(float volume = 1.0f);
    void PlayPitched(float pitch, float volume = 1.0f);
    // The voice the next play would take; null without a device or voices.
    SoundInstance* NextInstance();
    void Clear();

    int GetVoiceCount() const { return static_cast<int>(voices.size()); }
    SoundInstance* GetVoice(int index) const { return voices[index].get(); }

private:
    // A decoded source file: the voices, then the cache for later runs.
    void LoadDecoded(std::unique_ptr<Platform::SoundBuffer> buffer, const String& file, int extraVoices);
    void MakeVoices(std::unique_ptr<Platform::SoundBuffer> buffer, int extraVoices);
    // The voice a play takes, or null when nothing may play.
    SoundInstance* VoiceToPlay();
    SoundInstance* TakeNextVoice();

    int cursor = 0; // the voice the next play takes
    std::vector<std::unique_ptr<SoundInstance>> voices;
};
