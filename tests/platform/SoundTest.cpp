#include "platform/Sound.h"

#include "support/AlternateStack.h"
#include "support/Eventually.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using Platform::SoundBuffer;
using Platform::SoundFormat;
using Platform::SoundMixer;

namespace
{
constexpr size_t kBlock = 441; // 10 ms at the output rate

SoundFormat MakeFormat(uint16_t channels, uint16_t bits, uint32_t rate)
{
    SoundFormat format;
    format.formatTag = Platform::kSoundFormatPCM;
    format.channels = channels;
    format.bitsPerSample = bits;
    format.samplesPerSecond = rate;
    format.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    format.bytesPerSecond = format.blockAlign * rate;
    return format;
}

std::unique_ptr<SoundBuffer> MakeBuffer(SoundMixer& mixer, const SoundFormat& format,
                                        const std::vector<int16_t>& samples)
{
    auto buffer = mixer.CreateBuffer(format, static_cast<uint32_t>(samples.size() * 2));
    uint32_t bytes = 0;
    uint8_t* pcm = buffer->Lock(bytes);
    std::memcpy(pcm, samples.data(), bytes);
    buffer->Unlock();
    return buffer;
}

std::vector<int16_t> Render(SoundMixer& mixer, size_t frames)
{
    std::vector<int16_t> out(frames * 2);
    mixer.Render(out.data(), frames);
    return out;
}

// Mono 16-bit samples 100, 200, 300 ...
std::vector<int16_t> Ramp(size_t count)
{
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<int16_t>((i + 1) * 100);
    }
    return samples;
}

std::vector<int16_t> Sine(size_t count, size_t period, float amplitude)
{
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(6.2831853 * i / period)));
    }
    return samples;
}

// The id of this process's thread whose name starts so; 0 when there is none.
pid_t ThreadNamed(const std::string& start)
{
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name.rfind(start, 0) == 0) {
            return static_cast<pid_t>(std::stol(task.path().filename().string()));
        }
    }
    return 0;
}

std::atomic<const char*> stackOfTheProbedThread{nullptr};

void NoteAlternateStack(int)
{
    stackOfTheProbedThread = AlternateStackOfThisThread();
}

// What a handler run on the thread sees of its alternate stack, asked with a
// signal nothing else here uses; the earlier handling is put back after.
std::string AlternateStackOf(pid_t thread)
{
    struct sigaction probe = {};
    probe.sa_handler = NoteAlternateStack;
    sigemptyset(&probe.sa_mask);
    struct sigaction earlier = {};
    sigaction(SIGUSR2, &probe, &earlier);
    stackOfTheProbedThread = nullptr;
    if (tgkill(getpid(), thread, SIGUSR2) == 0)
        WaitUntil([] { return stackOfTheProbedThread.load() != nullptr; });
    const char* seen = stackOfTheProbedThread.load();
    sigaction(SIGUSR2, &earlier, nullptr);
    return seen != nullptr ? seen : "no answer";
}
} // namespace

TEST(SoundFormatTest, AcceptsOnlyPlayablePCM)
{
    EXPECT_TRUE(Platform::IsPlayableSoundFormat(MakeFormat(1, 8, 8000)));
    EXPECT_TRUE(Platform::IsPlayableSoundFormat(MakeFormat(2, 16, 200000)));
    EXPECT_TRUE(Platform::IsPlayableSoundFormat(MakeFormat(2, 16, 100)));
    EXPECT_FALSE(Platform::IsPlayableSoundFormat(MakeFormat(0, 16, 44100)));
    EXPECT_FALSE(Platform::IsPlayableSoundFormat(MakeFormat(3, 16, 44100)));
    EXPECT_FALSE(Platform::IsPlayableSoundFormat(MakeFormat(2, 24, 44100)));
    EXPECT_FALSE(Platform::IsPlayableSoundFormat(MakeFormat(2, 16, 0)));
    EXPECT_FALSE(Platform::IsPlayableSoundFormat(MakeFormat(2, 16, 99)));
    EXPECT_FALSE(Platform::IsPlayableSoundFormat(MakeFormat(2, 16, 200001)));
    SoundFormat badAlign = MakeFormat(2, 16, 44100);
    badAlign.blockAlign = 2;
    EXPECT_FALSE(Platform::IsPlayableSoundFormat(badAlign));
    SoundFormat notPCM = MakeFormat(1, 16, 44100);
    notPCM.formatTag = 3;
    EXPECT_FALSE(Platform::IsPlayableSoundFormat(notPCM));
}

TEST(SoundMixerTest, CreateRefusesBadFormatsAndSizes)
{
    SoundMixer mixer;
    EXPECT_EQ(mixer.CreateBuffer(MakeFormat(0, 16, 44100), 100), nullptr);
    EXPECT_EQ(mixer.CreateBuffer(MakeFormat(1, 16, 44100), 0), nullptr);
    EXPECT_EQ(mixer.CreateBuffer(MakeFormat(1, 16, 44100), 3), nullptr);
    EXPECT_EQ(mixer.CreateBuffer(MakeFormat(1, 16, 44100), 0x10000000), nullptr);
    auto buffer = mixer.CreateBuffer(MakeFormat(1, 16, 22050), 4);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->GetFrequency(), 22050u);
    EXPECT_EQ(buffer->GetFormat().bytesPerSecond, 44100u);
}

TEST(SoundMixerTest, LockIsExclusiveAndSilencesTheBuffer)
{
    SoundMixer mixer;
    auto buffer = MakeBuffer(mixer, MakeFormat(1, 16, 44100), Ramp(1000));
    auto duplicate = buffer->Duplicate();
    uint32_t bytes = 0;
    ASSERT_NE(buffer->Lock(bytes), nullptr);
    EXPECT_EQ(bytes, 2000u);
    EXPECT_EQ(duplicate->Lock(bytes), nullptr) << "duplicates share the PCM and its lock";
    buffer->Play(false);
    EXPECT_EQ(Render(mixer, 4), std::vector<int16_t>(8, 0));
    EXPECT_TRUE(buffer->Unlock());
    EXPECT_FALSE(buffer->Unlock());
    EXPECT_EQ(Render(mixer, 1)[0], 100);
}

TEST(SoundMixerTest, OneShotPlaysItsSamplesThenStopsAndRewinds)
{
    SoundMixer mixer;
    // Up to 24000: below the limiter's knee, every sample passes unchanged.
    auto buffer = MakeBuffer(mixer, MakeFormat(1, 16, 44100), Ramp(240));
    buffer->Play(false);
    const std::vector<int16_t> out = Render(mixer, 400);
    for (size_t i = 0; i < 240; ++i) {
        ASSERT_EQ(out[i * 2], (i + 1) * 100) << i;
        ASSERT_EQ(out[i * 2 + 1], (i + 1) * 100) << "mono plays on both channels";
    }
    for (size_t i = 240; i < 400; ++i) {
        ASSERT_EQ(out[i * 2], 0);
    }
    EXPECT_FALSE(buffer->IsPlaying());
    buffer->Play(false);
    EXPECT_EQ(Render(mixer, 1)[0], 100) << "rewound to the start";
}

TEST(SoundMixerTest, StopKeepsThePosition)
{
    SoundMixer mixer;
    auto buffer = MakeBuffer(mixer, MakeFormat(1, 16, 44100), Ramp(300));
    buffer->Play(false);
    Render(mixer, 10);
    buffer->Stop();
    EXPECT_EQ(Render(mixer, 5), std::vector<int16_t>(10, 0));
    buffer->Play(false);
    EXPECT_EQ(Render(mixer, 1)[0], 1100);
}

TEST(SoundMixerTest, LoopWrapsWithoutAClick)
{
    SoundMixer mixer;
    // 100 periods of a 441 Hz tone, a whole number so the loop is seamless.
    const std::vector<int16_t> tone = Sine(10000, 100, 20000.0f);
    auto buffer = MakeBuffer(mixer, MakeFormat(1, 16, 44100), tone);
    buffer->Play(true);
    const std::vector<int16_t> out = Render(mixer, 25000);
    EXPECT_TRUE(buffer->IsPlaying());
    int largestStep = 0;
    for (size_t i = 0; i < 25000; ++i) {
        ASSERT_EQ(out[i * 2], tone[i % tone.size()]) << i;
        if (i > 0) {
            largestStep = std::max(largestStep, std::abs(out[i * 2] - out[i * 2 - 2]));
        }
    }
    // The steepest step of the tone itself: 20000 * 2 pi / 100.
    EXPECT_LE(largestStep, 1260);
}

TEST(SoundMixerTest, ResampledLoopWrapsSmoothly)
{
    SoundMixer mixer;
    const std::vector<int16_t> tone = Sine(1000, 100, 20000.0f);
    auto buffer = MakeBuffer(mixer, MakeFormat(1, 16, 22050), tone);
    buffer->Play(true);
    const std::vector<int16_t> out = Render(mixer, 5000);
    int largestStep = 0;
    for (size_t i = 1; i < 5000; ++i) {
        largestStep = std::max(largestStep, std::abs(out[i * 2] - out[i * 2 - 2]));
    }
    EXPECT_LE(largestStep, 700);
    EXPECT_GT(largestStep, 500);
}

TEST(SoundMixerTest, VolumeChangesWithinOneBlock)
{
    SoundMixer mixer;
    auto buffer = MakeBuffer(mixer, MakeFormat(1, 16, 44100), std::vector<int16_t>(10000, 10000));
    buffer->Play(true);
    EXPECT_EQ(Render(mixer, kBlock)[kBlock * 2 - 1], 10000);
    buffer->SetVolume(-605);
    std::vector<int16_t> out = Render(mixer, kBlock);
    const int expected = static_cast<int>(10000 * std::pow(10.0, -605 / 2000.0));
    EXPECT_NEAR(out[0], expected, 1);
    EXPECT_NEAR(out[kBlock * 2 - 1], expected, 1);
    buffer->SetVolume(Platform::kSoundSilence);
    out = Render(mixer, kBlock);
    EXPECT_EQ(out, std::vector<int16_t>(kBlock * 2, 0));
    buffer->SetVolume(500);
    EXPECT_EQ(Render(mixer, 1)[0], 10000) << "there is no gain above full volume";
}

TEST(SoundMixerTest, PitchChangesWithinOneBlock)
{
    SoundMixer mixer;
    auto buffer = MakeBuffer(mixer, MakeFormat(1, 16, 44100), Ramp(300));
    buffer->Play(false);
    std::vector<int16_t> out = Render(mixer, 4);
    EXPECT_EQ(out[6], 400);
    buffer->SetFrequency(22050);
    out = Render(mixer, 4);
    // Half a frame a step, halfway values interpolated.
    EXPECT_EQ(out[0], 500);
    EXPECT_EQ(out[2], 550);
    EXPECT_EQ(out[4], 600);
    EXPECT_EQ(out[6], 650);
    buffer->SetFrequency(88200);
    out = Render(mixer, 2);
    EXPECT_EQ(out[0], 700);
    EXPECT_EQ(out[2], 900);
}

TEST(SoundMixerTest, DuplicatesKeepTheirOwnState)
{
    SoundMixer mixer;
    auto first = MakeBuffer(mixer, MakeFormat(1, 16, 44100), Ramp(300));
    first->SetVolume(Platform::kSoundSilence);
    auto second = first->Duplicate();
    EXPECT_EQ(second->GetBytes(), first->GetBytes());
    second->SetVolume(0);
    second->Play(false);
    EXPECT_FALSE(first->IsPlaying());
    Render(mixer, 10);
    first->Play(false);
    const std::vector<int16_t> out = Render(mixer, 1);
    EXPECT_EQ(out[0], 1100) << "only the duplicate is heard, from its own position";
    first->SetVolume(0);
    EXPECT_EQ(Render(mixer, 1)[0], 1200 + 200);
    second.reset();
    EXPECT_EQ(Render(mixer, 1)[0], 300) << "the PCM outlives a released duplicate";
}

TEST(SoundMixerTest, EightBitAndStereoSamples)
{
    SoundMixer mixer;
    auto eight = mixer.CreateBuffer(MakeFormat(2, 8, 44100), 4);
    uint32_t bytes = 0;
    uint8_t* pcm = eight->Lock(bytes);
    EXPECT_EQ(pcm[0], 128) << "a new 8-bit buffer is silent";
    const uint8_t frames[4] = {128, 208, 48, 192};
    std::memcpy(pcm, frames, 4);
    eight->Unlock();
    eight->Play(false);
    const std::vector<int16_t> out = Render(mixer, 3);
    EXPECT_EQ(out, (std::vector<int16_t>{0, 80 * 256, -80 * 256, 64 * 256, 0, 0}));
}

// However many voices start at once, the sum stays below full scale, louder
// for more voices; a mix well below full scale passes unchanged.
TEST(SoundMixerTest, VoicesAreSummedBelowFullScale)
{
    const struct
    {
        int voices;
        int16_t sample;
        int low, high;
    } cases[] = {
        {1, 16384, 16384, 16384}, {2, 12000, 24000, 24000}, {1, 32767, 26000, 29205},
        {2, 30000, 28000, 29205}, {40, 32767, 29000, 29205}, {40, -32768, -29205, -29000},
    };
    int previous = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.voices << " voices of " << c.sample);
        SoundMixer mixer;
        auto first = MakeBuffer(mixer, MakeFormat(1, 16, 44100), std::vector<int16_t>(10, c.sample));
        std::vector<std::unique_ptr<SoundBuffer>> voices;
        for (int i = 1; i < c.voices; ++i)
            voices.push_back(first->Duplicate());
        first->Play(false);
        for (auto& voice : voices)
            voice->Play(false);
        const int out = Render(mixer, 1)[0];
        EXPECT_GE(out, c.low);
        EXPECT_LE(out, c.high);
        if (c.sample > 0) {
            EXPECT_GE(out, previous) << "a louder sum is no quieter";
            previous = out;
        }
    }

    // Two voices of a rising ramp sweep the sum through the knee: below it
    // each sample passes unchanged; above it the curve keeps rising, its
    // slope falling from 1 without a step, where a hard clip goes flat.
    constexpr int kStep = 64, kFirst = 10240, kCount = 105;
    std::vector<int16_t> ramp(kCount);
    for (int i = 0; i < kCount; ++i)
        ramp[static_cast<size_t>(i)] = static_cast<int16_t>(kFirst + i * kStep);
    SoundMixer mixer;
    auto first = MakeBuffer(mixer, MakeFormat(1, 16, 44100), ramp);
    auto second = first->Duplicate();
    first->Play(false);
    second->Play(false);
    const std::vector<int16_t> out = Render(mixer, kCount);
    int rise = 2 * kStep;
    for (int i = 1; i < kCount; ++i) {
        const int sum = 2 * (kFirst + i * kStep), now = out[static_cast<size_t>(i) * 2];
        SCOPED_TRACE(testing::Message() << "a sum of " << sum << " gives " << now);
        if (sum <= 24576) {
            ASSERT_EQ(now, sum);
        }
        const int step = now - out[static_cast<size_t>(i - 1) * 2];
        ASSERT_GT(step, 0) << "a louder sum is louder";
        ASSERT_LE(step, rise + 2) << "the slope never steepens";
        ASSERT_GE(step, rise - 12) << "the slope falls without a step";
        rise = step;
    }
}

TEST(SoundDeviceTest, PlaysThroughTheDummyDriverOnAThreadWithAnAlternateStack)
{
    Platform::SoundDevice device;
    ASSERT_TRUE(device.Open()) << "the tests run with SDL_AUDIODRIVER=dummy";
    SoundMixer* mixer = device.GetMixer();
    ASSERT_NE(mixer, nullptr);
    auto buffer = MakeBuffer(*mixer, MakeFormat(1, 16, 44100), Ramp(300));
    buffer->Play(false);
    EXPECT_TRUE(WaitUntil([&buffer] { return !buffer->IsPlaying(); })) << "the device's thread mixed the sound to its end";
    // SDL names its playback thread so; a fault there must find a stack for
    // the crash handler.
    const pid_t deviceThread = ThreadNamed("SDLAudioP");
    ASSERT_NE(deviceThread, 0) << "no thread of SDL's named SDLAudioP...";
    EXPECT_EQ(AlternateStackOf(deviceThread), "set");
    buffer.reset();
    device.Close();
    EXPECT_EQ(device.GetMixer(), nullptr);
    EXPECT_TRUE(device.Open()) << "the device opens again after closing";
}
