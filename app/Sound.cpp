#include "app/Sound.h"

#include "app/App.h"
#include "app/Audio.h"
#include "app/Console.h"
#include "app/FileHelpers.h"
#include "app/SoundFiles.h"

Sound::~Sound()
{
    Clear();
}

void Sound::Load(const String& name, int extraVoices)
{
    Platform::SoundMixer* mixer = theAudio.GetMixer();
    if (!mixer) {
        return;
    }
    const String cacheFile = SoundFiles::CachePath(name);
    if (FileExists(cacheFile)) {
        if (std::unique_ptr<Platform::SoundBuffer> buffer = SoundFiles::ReadCache(*mixer, cacheFile)) {
            MakeVoices(std::move(buffer), extraVoices);
            return;
        }
    }
    // An Ogg Vorbis file that fails leaves the sound silent: the WAV file of
    // the same name is no fallback.
    const String ogg = name.Concat(".ogg");
    if (FileExists(ogg)) {
        LoadDecoded(SoundFiles::ReadOGG(*mixer, ogg), ogg, extraVoices);
        return;
    }
    const String wav = name.Concat(".wav");
    if (FileExists(wav)) {
        LoadDecoded(SoundFiles::ReadWAV(*mixer, wav), wav, extraVoices);
        return;
    }
    SoundFiles::ShowError(String::StringFormat("Error: Could not load sound: %s", name), "Sound Error");
}

void Sound::Play(float volume)
{
    if (SoundInstance* voice = VoiceToPlay()) {
        voice->ResetFrequency();
        voice->Play(volume);
    }
}

void Sound::PlayPitched(float pitch, float volume)
{
    if (SoundInstance* voice = VoiceToPlay()) {
        voice->SetPitch(pitch);
        voice->Play(volume);
    }
}

SoundInstance* Sound::NextInstance()
{
    if (!theAudio.GetMixer() || voices.empty()) {
        return nullptr;
    }
    return TakeNextVoice();
}

// Voices left after the device shut down hold no buffer any more, so they
// can go at any time.
void Sound::Clear()
{
    voices.clear();
    cursor = 0;
}

void Sound::LoadDecoded(std::unique_ptr<Platform::SoundBuffer> buffer, const String& file, int extraVoices)
{
    if (!buffer) {
        return;
    }
    Platform::SoundBuffer& first = *buffer;
    MakeVoices(std::move(buffer), extraVoices);
    // Only the game asks for a cache; tools without an application always
    // write one.
    if ((!theApp || theApp->cacheSounds) && !SoundFiles::WriteCache(SoundFiles::CachePathOf(file), first) &&
        theConsole) {
        theConsole->Printf("WARNING: could not write the sound cache of %s", file.CStr());
    }
}

// The first voice holds the created buffer, the others duplicate it and
// share its PCM; the first play takes the first duplicate.
void Sound::MakeVoices(std::unique_ptr<Platform::SoundBuffer> buffer, int extraVoices)
{
    Platform::SoundBuffer& first = *buffer;
    voices.push_back(std::make_unique<SoundInstance>(std::move(buffer)));
    for (int i = 0; i < extraVoices; ++i) {
        voices.push_back(std::make_unique<SoundInstance>(first.Duplicate()));
    }
    cursor = 1;
}

SoundInstance* Sound::VoiceToPlay()
{
    if (!theAudio.GetMixer() || theAudio.GetSoundVolume() == 0.0f || voices.empty()) {
        return nullptr;
    }
    return TakeNextVoice();
}

SoundInstance* Sound::TakeNextVoice()
{
    if (cursor >= 0 && cursor < GetVoiceCount() && voices[cursor]) {
        return voices[cursor++].get();
    }
    cursor = 1;
    return voices.front().get();
}
