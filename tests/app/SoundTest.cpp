#include "app/Sound.h"

#include "app/App.h"
#include "app/Audio.h"
#include "app/SoundFiles.h"
#include "platform/Dialogs.h"
#include "support/SoundTestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{
// The formulas the WAV fixtures were made from (make-fixtures.sh).
int16_t Pattern16(int frame, int channel)
{
    return static_cast<int16_t>(((frame * 7919 + channel * 12345) & 0xFFFF) - 32768);
}

uint8_t Pattern8(int frame, int channel)
{
    return static_cast<uint8_t>((frame * 31 + channel * 101) & 0xFF);
}

std::vector<uint8_t> ExpectedPCM(int frames, int channels, int bits)
{
    std::vector<uint8_t> pcm;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            if (bits == 8) {
                pcm.push_back(Pattern8(i, c));
            } else {
                const uint16_t sample = static_cast<uint16_t>(Pattern16(i, c));
                pcm.push_back(static_cast<uint8_t>(sample));
                pcm.push_back(static_cast<uint8_t>(sample >> 8));
            }
        }
    }
    return pcm;
}

std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

// Two seconds of silence, long enough to be still playing when looked at.
std::vector<uint8_t> LongSilence()
{
    return MakeSoundCacheFile(1, 16, 44100, std::vector<uint8_t>(176400, 0));
}

class SoundTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(theAudio.GetMixer(), nullptr) << "the dummy audio driver opens"; }

    SoundTestFolder folder;
};
} // namespace

struct WavFixture
{
    const char* name;
    int channels;
    int bits;
    uint32_t rate;
    int frames;
};

class SoundWavTest : public SoundTest, public testing::WithParamInterface<WavFixture>
{
};

TEST_P(SoundWavTest, DecodesTheFileSamples)
{
    const WavFixture& fixture = GetParam();
    folder.CopyFixture(std::string(fixture.name) + ".wav", std::string("sounds/") + fixture.name + ".wav");
    Sound sound;
    sound.Load(String("sounds\\").Concat(fixture.name), 2);
    ASSERT_EQ(sound.GetVoiceCount(), 3);
    const Platform::SoundFormat& format = sound.GetVoice(0)->GetBuffer()->GetFormat();
    EXPECT_EQ(format.channels, fixture.channels);
    EXPECT_EQ(format.bitsPerSample, fixture.bits);
    EXPECT_EQ(format.samplesPerSecond, fixture.rate);
    EXPECT_EQ(format.blockAlign, fixture.channels * fixture.bits / 8);
    EXPECT_EQ(sound.GetVoice(0)->GetBaseFrequency(), fixture.rate);
    const std::vector<uint8_t> expected = ExpectedPCM(fixture.frames, fixture.channels, fixture.bits);
    EXPECT_EQ(SoundTestFolder::VoicePCM(sound, 0), expected);
    EXPECT_EQ(SoundTestFolder::VoicePCM(sound, 2), expected) << "duplicates share the PCM";
}

INSTANTIATE_TEST_SUITE_P(Layouts, SoundWavTest,
                         testing::Values(WavFixture{"mono8-8000", 1, 8, 8000, 800},
                                         WavFixture{"stereo8-11025", 2, 8, 11025, 1100},
                                         WavFixture{"mono16-22050", 1, 16, 22050, 2205},
                                         WavFixture{"stereo16-44100", 2, 16, 44100, 4410}));

TEST_F(SoundTest, WavLoadWritesTheCacheByteForByte)
{
    folder.CopyFixture("mono16-22050.wav", "sounds/click.wav");
    Sound sound;
    sound.Load("sounds\\click");
    ASSERT_TRUE(folder.Exists("cached/sounds/click.cached"));
    const std::vector<uint8_t> wav = SoundTestFolder::ReadFixture("mono16-22050.wav");
    const std::vector<uint8_t> data(wav.begin() + 44, wav.end());
    // PCM, 1 channel, the file's rate, twice that in bytes per second, block
    // align 2, 16 bits, and the data chunk's bytes.
    EXPECT_EQ(folder.ReadBytes("cached/sounds/click.cached"), MakeSoundCacheFile(1, 16, 22050, data));
}

TEST_F(SoundTest, SecondLoadReadsTheCacheAndNotTheSource)
{
    folder.CopyFixture("stereo8-11025.wav", "sounds/pop.wav");
    Sound first;
    first.Load("sounds\\pop");
    std::filesystem::remove("sounds/pop.wav");
    Sound second;
    second.Load("sounds\\pop", 1);
    ASSERT_EQ(second.GetVoiceCount(), 2);
    EXPECT_EQ(SoundTestFolder::VoicePCM(second), SoundTestFolder::VoicePCM(first));
    EXPECT_EQ(second.GetVoice(1)->GetBuffer()->GetFormat().channels, 2);
    EXPECT_EQ(second.GetVoice(1)->GetBuffer()->GetFormat().bitsPerSample, 8);
}

TEST_F(SoundTest, TheApplicationDecidesWhetherToCache)
{
    folder.CopyFixture("mono8-8000.wav", "a.wav");
    App app;
    {
        Sound sound;
        sound.Load("a");
        EXPECT_EQ(sound.GetVoiceCount(), 1);
        EXPECT_FALSE(folder.Exists("cached/a.cached"));
    }
    app.cacheSounds = true;
    Sound sound;
    sound.Load("a");
    EXPECT_TRUE(folder.Exists("cached/a.cached"));
}

TEST_F(SoundTest, CacheRoundTripIsByteForByte)
{
    folder.CopyFixture("tone-stereo-44100.ogg", "sounds/tone.ogg");
    Sound decoded;
    decoded.Load("sounds\\tone");
    const std::vector<uint8_t> written = folder.ReadBytes("cached/sounds/tone.cached");
    ASSERT_FALSE(written.empty());
    Sound cached;
    cached.Load("sounds\\tone");
    ASSERT_EQ(cached.GetVoiceCount(), 1);
    ASSERT_TRUE(SoundFiles::WriteCache("copy\\again.cached", *cached.GetVoice(0)->GetBuffer()));
    EXPECT_EQ(folder.ReadBytes("copy/again.cached"), written);
}

TEST_F(SoundTest, CachePathsFollowTheSourceName)
{
    EXPECT_EQ(SoundFiles::CachePathOf("sounds\\click.wav"), "cached\\sounds\\click.cached");
    EXPECT_EQ(SoundFiles::CachePathOf("sounds\\a.b.ogg"), "cached\\sounds\\a.b.cached");
    EXPECT_EQ(SoundFiles::CachePathOf("sounds.old\\click"), "cached\\sounds.old\\click.cached");
    EXPECT_EQ(SoundFiles::CachePathOf("click"), "cached\\click.cached");
}

TEST_F(SoundTest, OggDecodesLikeAnIndependentDecoder)
{
    struct Case
    {
        const char* name;
        uint16_t channels;
        uint32_t rate;
    };
    for (const Case& c : {Case{"tone-mono-22050", 1, 22050}, Case{"tone-stereo-44100", 2, 44100}}) {
        SCOPED_TRACE(c.name);
        folder.CopyFixture(std::string(c.name) + ".ogg", std::string(c.name) + ".ogg");
        Sound sound;
        sound.Load(c.name);
        ASSERT_EQ(sound.GetVoiceCount(), 1);
        const Platform::SoundFormat& format = sound.GetVoice(0)->GetBuffer()->GetFormat();
        EXPECT_EQ(format.channels, c.channels);
        EXPECT_EQ(format.bitsPerSample, 16);
        EXPECT_EQ(format.samplesPerSecond, c.rate);
        const std::vector<int16_t> ours = AsSamples(SoundTestFolder::VoicePCM(sound));
        const std::vector<int16_t> reference =
            AsSamples(SoundTestFolder::ReadFixture(std::string(c.name) + ".decoded"));
        ASSERT_EQ(ours.size(), reference.size());
        int largest = 0;
        for (size_t i = 0; i < ours.size(); ++i) {
            largest = std::max(largest, std::abs(ours[i] - reference[i]));
        }
        // Fixed-point and floating-point decoders differ in the last bits.
        EXPECT_LE(largest, 8);
    }
}

TEST_F(SoundTest, OggIsPreferredAndItsFailureIsFinal)
{
    folder.CopyFixture("tone-mono-22050.ogg", "both.ogg");
    folder.CopyFixture("stereo16-44100.wav", "both.wav");
    Sound both;
    both.Load("both");
    ASSERT_EQ(both.GetVoiceCount(), 1);
    EXPECT_EQ(both.GetVoice(0)->GetBuffer()->GetFormat().samplesPerSecond, 22050u);

    folder.WriteBytes("broken.ogg", {'O', 'g', 'g', 'S', 0, 0, 0});
    folder.CopyFixture("stereo16-44100.wav", "broken.wav");
    Sound broken;
    broken.Load("broken");
    EXPECT_EQ(broken.GetVoiceCount(), 0);
    EXPECT_FALSE(folder.Exists("cached/broken.cached"));
}

TEST_F(SoundTest, BrokenCacheFallsBackToTheSourceAndIsRewritten)
{
    folder.CopyFixture("mono8-8000.wav", "s.wav");
    const std::vector<uint8_t> good = MakeSoundCacheFile(1, 8, 8000, ExpectedPCM(800, 1, 8));
    std::vector<uint8_t> countMismatch = good;
    Put32(countMismatch, 52, 799);
    std::vector<uint8_t> huge = good;
    Put32(huge, 24, 0x0FFFFFFF);
    Put32(huge, 52, 0x0FFFFFFF);
    std::vector<uint8_t> noChannels = good;
    Put16(noChannels, 2, 0);
    const std::vector<std::vector<uint8_t>> broken = {
        {}, std::vector<uint8_t>(good.begin(), good.begin() + 55),
        std::vector<uint8_t>(good.begin(), good.end() - 1), countMismatch, huge, noChannels};
    for (size_t i = 0; i < broken.size(); ++i) {
        SCOPED_TRACE(i);
        folder.WriteBytes("cached/s.cached", broken[i]);
        Sound sound;
        sound.Load("s");
        ASSERT_EQ(sound.GetVoiceCount(), 1);
        EXPECT_EQ(SoundTestFolder::VoicePCM(sound), ExpectedPCM(800, 1, 8));
        EXPECT_EQ(folder.ReadBytes("cached/s.cached"), good);
    }
}

TEST_F(SoundTest, TruncatedWavFilesNeverReadPastTheirEnd)
{
    const std::vector<uint8_t> wav = SoundTestFolder::ReadFixture("mono16-22050.wav");
    for (size_t length = 0; length <= wav.size(); length += (length < 64 ? 1 : 97)) {
        SCOPED_TRACE(length);
        folder.WriteBytes("t.wav", std::vector<uint8_t>(wav.begin(), wav.begin() + length));
        std::filesystem::remove_all("cached");
        Sound sound;
        sound.Load("t");
        // The 44-byte header and at least one 4-byte buffer: what the file
        // holds of the data is taken.
        if (length < 48) {
            EXPECT_EQ(sound.GetVoiceCount(), 0);
            continue;
        }
        ASSERT_EQ(sound.GetVoiceCount(), 1);
        const std::vector<uint8_t> pcm = SoundTestFolder::VoicePCM(sound);
        EXPECT_EQ(pcm, std::vector<uint8_t>(wav.begin() + 44, wav.begin() + length));
    }
}

TEST_F(SoundTest, CorruptWavHeadersAreRefused)
{
    const std::vector<uint8_t> wav = SoundTestFolder::ReadFixture("mono16-22050.wav");
    const auto corrupt = [&](size_t at, uint16_t value) {
        std::vector<uint8_t> bytes = wav;
        Put16(bytes, at, value);
        return bytes;
    };
    struct Case
    {
        std::vector<uint8_t> bytes;
        const char* message;
    };
    const std::vector<Case> refused = {
        {corrupt(0, 0), "Could not load WAV sound (1)"}, // not RIFF
        {corrupt(8, 0), "Could not load WAV sound (2)"}, // not WAVE
        {corrupt(20, 3), "Could not load sound (4)"},    // not PCM
        {corrupt(22, 0), "Could not load sound (4)"},    // no channels
        {corrupt(22, 3), "Could not load sound (4)"},    // three channels
        {corrupt(24, 0), "Could not load sound (4)"},    // 0 Hz
        {corrupt(32, 3), "Could not load sound (4)"},    // block align disagrees
        {corrupt(34, 24), "Could not load sound (4)"},   // 24 bits
        {corrupt(36, 0), "Could not load sound (3)"},    // no data chunk
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        SCOPED_TRACE(i);
        folder.WriteBytes("c.wav", refused[i].bytes);
        std::filesystem::remove_all("cached");
        Sound sound;
        Platform::Dialogs::Recorder dialogs;
        sound.Load("c");
        EXPECT_EQ(dialogs.messages, 1);
        EXPECT_EQ(dialogs.title, "HEY");
        EXPECT_NE(dialogs.text.find(refused[i].message), std::string::npos) << dialogs.text;
        EXPECT_EQ(sound.GetVoiceCount(), 0);
        EXPECT_FALSE(folder.Exists("cached/c.cached"));
    }
}

TEST_F(SoundTest, WavDataSizeBeyondTheFileTakesWhatIsThere)
{
    std::vector<uint8_t> wav = SoundTestFolder::ReadFixture("mono16-22050.wav");
    Put32(wav, 40, 0xFFFFFFFF);
    folder.WriteBytes("big.wav", wav);
    Sound sound;
    sound.Load("big");
    ASSERT_EQ(sound.GetVoiceCount(), 1);
    EXPECT_EQ(SoundTestFolder::VoicePCM(sound), ExpectedPCM(2205, 1, 16));
}

TEST_F(SoundTest, TruncatedAndCorruptOggFilesDoNotCrash)
{
    const std::vector<uint8_t> ogg = SoundTestFolder::ReadFixture("tone-stereo-44100.ogg");
    std::vector<std::vector<uint8_t>> damaged;
    for (size_t length : {size_t(0), size_t(4), size_t(28), size_t(100), size_t(1000), size_t(3000),
                          ogg.size() - 500, ogg.size() - 1}) {
        damaged.emplace_back(ogg.begin(), ogg.begin() + length);
    }
    for (size_t at = 200; at < ogg.size(); at += 701) {
        std::vector<uint8_t> flipped = ogg;
        for (size_t i = at; i < std::min(ogg.size(), at + 16); ++i) {
            flipped[i] ^= 0x5A;
        }
        damaged.push_back(flipped);
    }
    for (size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        folder.WriteBytes("d.ogg", damaged[i]);
        std::filesystem::remove_all("cached");
        Sound sound;
        sound.Load("d");
        if (sound.GetVoiceCount() == 0) {
            EXPECT_FALSE(folder.Exists("cached/d.cached"));
            continue;
        }
        // What could be decoded is a whole sound of the stream's own layout.
        const Platform::SoundFormat& format = sound.GetVoice(0)->GetBuffer()->GetFormat();
        EXPECT_EQ(format.channels, 2);
        EXPECT_EQ(SoundTestFolder::VoicePCM(sound).size() % 4, 0u);
    }
}

TEST_F(SoundTest, VoicesAreTakenInTurnFromTheSecond)
{
    folder.WriteBytes("cached/long.cached", LongSilence());
    Sound sound;
    sound.Load("long", 5);
    ASSERT_EQ(sound.GetVoiceCount(), 6);
    for (int expected : {1, 2, 3, 4, 5, 0, 1}) {
        EXPECT_EQ(sound.NextInstance(), sound.GetVoice(expected));
    }
    Sound played;
    played.Load("long", 5);
    for (int expected : {1, 2, 3, 4, 5, 0, 1}) {
        for (int i = 0; i < played.GetVoiceCount(); ++i) {
            played.GetVoice(i)->Stop();
        }
        played.Play();
        for (int i = 0; i < played.GetVoiceCount(); ++i) {
            EXPECT_EQ(played.GetVoice(i)->IsPlaying(), i == expected) << "voice " << i;
        }
    }
}

TEST_F(SoundTest, MasterVolumeGatesAndScalesPlays)
{
    folder.WriteBytes("cached/long.cached", LongSilence());
    Sound sound;
    sound.Load("long");
    theAudio.SetSoundVolume(0.0f, true);
    sound.Play();
    EXPECT_FALSE(sound.GetVoice(0)->IsPlaying());
    theAudio.SetSoundVolume(0.5f, true);
    sound.Play(1.0f);
    EXPECT_TRUE(sound.GetVoice(0)->IsPlaying());
    EXPECT_EQ(sound.GetVoice(0)->GetBuffer()->GetVolume(), -605);
    EXPECT_FALSE(sound.GetVoice(0)->IsLooping());
}

TEST_F(SoundTest, PitchIsClampedToTheDeviceRange)
{
    folder.WriteBytes("cached/long.cached", LongSilence());
    Sound sound;
    sound.Load("long");
    SoundInstance* voice = sound.GetVoice(0);
    sound.PlayPitched(0.001f);
    EXPECT_EQ(voice->GetBuffer()->GetFrequency(), 100u);
    sound.PlayPitched(10.0f);
    EXPECT_EQ(voice->GetBuffer()->GetFrequency(), 100000u);
    sound.PlayPitched(0.5f);
    EXPECT_EQ(voice->GetBuffer()->GetFrequency(), 22050u);
    sound.PlayPitched(-3.0f);
    EXPECT_EQ(voice->GetBuffer()->GetFrequency(), 100u);
    sound.PlayPitched(std::nanf(""));
    EXPECT_EQ(voice->GetBuffer()->GetFrequency(), 100u);
    sound.Play();
    EXPECT_EQ(voice->GetBuffer()->GetFrequency(), 44100u) << "a plain play resets the frequency";
}

TEST_F(SoundTest, SoundWithoutVoicesPlaysNothing)
{
    Sound sound;
    Platform::Dialogs::Recorder dialogs;
    sound.Load("sounds\\missing");
    EXPECT_EQ(dialogs.title, "Sound Error");
    EXPECT_EQ(dialogs.text, "Error: Could not load sound: sounds\\missing");
    EXPECT_EQ(sound.GetVoiceCount(), 0);
    sound.Play();
    sound.PlayPitched(2.0f);
    EXPECT_EQ(sound.NextInstance(), nullptr);
}
