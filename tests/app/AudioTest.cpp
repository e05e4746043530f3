#include "app/Audio.h"

#include "app/Sound.h"
#include "support/SoundTestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

namespace
{
void LoadLongSound(const SoundTestFolder& folder, Sound& sound, int extraVoices)
{
    folder.WriteBytes("cached/long.cached",
                      MakeSoundCacheFile(2, 16, 44100, std::vector<uint8_t>(352800, 0)));
    sound.Load("long", extraVoices);
    ASSERT_EQ(sound.GetVoiceCount(), 1 + extraVoices);
}
} // namespace

TEST(AudioTest, VolumeToAttenuationFollowsTheCurve)
{
    EXPECT_EQ(Audio::VolumeToAttenuation(1.0f), 0);
    EXPECT_EQ(Audio::VolumeToAttenuation(0.9f), -95);
    EXPECT_EQ(Audio::VolumeToAttenuation(0.75f), -258);
    EXPECT_EQ(Audio::VolumeToAttenuation(0.5f), -605);
    EXPECT_EQ(Audio::VolumeToAttenuation(0.25f), -1138);
    EXPECT_EQ(Audio::VolumeToAttenuation(0.1f), -1682);
    EXPECT_EQ(Audio::VolumeToAttenuation(0.01f), -2245);
    EXPECT_EQ(Audio::VolumeToAttenuation(0.0f), -10000);
    EXPECT_EQ(Audio::VolumeToAttenuation(0.0001f), -2332) << "the quietest audible level";
}

TEST(AudioTest, VolumeToAttenuationStaysInRangeForAnyInput)
{
    EXPECT_EQ(Audio::VolumeToAttenuation(-0.5f), -10000);
    EXPECT_EQ(Audio::VolumeToAttenuation(std::nanf("")), -10000);
    EXPECT_EQ(Audio::VolumeToAttenuation(2.0f), 0);
    EXPECT_EQ(Audio::VolumeToAttenuation(std::numeric_limits<float>::infinity()), 0);
}

TEST(AudioTest, MasterVolumeReachesPlayingVoices)
{
    SoundTestFolder folder;
    Sound sound;
    LoadLongSound(folder, sound, 1);
    SoundInstance* looping = sound.GetVoice(0);
    looping->PlayLooped(0.8f);
    theAudio.SetSoundVolume(0.3f, true);
    EXPECT_EQ(looping->GetVolume(), 0.8f) << "the voice keeps its own volume";
    // The same level as a sound started now at the voice's volume.
    sound.Play(0.8f);
    EXPECT_EQ(looping->GetBuffer()->GetVolume(), sound.GetVoice(1)->GetBuffer()->GetVolume());
    EXPECT_EQ(looping->GetBuffer()->GetVolume(), Audio::VolumeToAttenuation(0.8f * 0.3f));

    theAudio.SetSoundVolume(0.0f, true);
    EXPECT_EQ(looping->GetBuffer()->GetVolume(), -10000);
    theAudio.SetSoundVolume(1.0f, false);
    EXPECT_EQ(looping->GetBuffer()->GetVolume(), -10000) << "only new levels follow";
    theAudio.ResetSoundVolume();
    EXPECT_EQ(looping->GetBuffer()->GetVolume(), Audio::VolumeToAttenuation(0.8f));
}

TEST(AudioTest, ShutdownReleasesEveryVoiceOnce)
{
    auto sound = std::make_unique<Sound>();
    {
        SoundTestFolder folder;
        LoadLongSound(folder, *sound, 2);
        sound->Play();
        theAudio.Shutdown();
        EXPECT_TRUE(theAudio.IsShutDown());
        EXPECT_EQ(theAudio.GetMixer(), nullptr);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(sound->GetVoice(i)->GetBuffer(), nullptr);
            EXPECT_FALSE(sound->GetVoice(i)->IsPlaying());
        }
        sound->Play();
        sound->GetVoice(0)->PlayLooped(1.0f);
        sound->GetVoice(0)->SetPitch(2.0f);
        EXPECT_EQ(sound->NextInstance(), nullptr);
    } // shuts down a second time
    sound.reset();
}

TEST(AudioTest, InitializesAgainAfterShutdown)
{
    for (int run = 0; run < 2; ++run) {
        SoundTestFolder folder;
        ASSERT_NE(theAudio.GetMixer(), nullptr) << "run " << run;
        EXPECT_FALSE(theAudio.IsShutDown());
        Sound sound;
        LoadLongSound(folder, sound, 0);
        sound.Play();
        EXPECT_TRUE(sound.GetVoice(0)->IsPlaying());
    }
}

TEST(AudioTest, WithoutADeviceEverythingIsSilent)
{
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = driver ? driver : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        SoundTestFolder folder;
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
        EXPECT_EQ(theAudio.GetMixer(), nullptr);
        EXPECT_FALSE(theAudio.IsShutDown());
        EXPECT_EQ(theAudio.GetSoundVolume(), 1.0f);
        folder.CopyFixture("mono8-8000.wav", "beep.wav");
        Sound sound;
        sound.Load("beep", 3);
        EXPECT_EQ(sound.GetVoiceCount(), 0);
        EXPECT_FALSE(folder.Exists("cached/beep.cached"));
        sound.Play();
        EXPECT_EQ(sound.NextInstance(), nullptr);
    }
}
