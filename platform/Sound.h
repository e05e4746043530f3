#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// The sound card in place of the system's DirectSound: one software mixer of
// PCM buffers ("voices") fed to the device from its audio thread. The mixer
// also renders without a device, which is how the tests listen to it.
namespace Platform
{
// The layout of a buffer's PCM, as a wave format header gives it.
struct SoundFormat
{
    uint16_t formatTag = 0; // 1 = PCM, the only kind played
    uint16_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint32_t bytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

constexpr uint16_t kSoundFormatPCM = 1;
constexpr int32_t kSoundSilence = -10000; // attenuation in hundredths of a decibel
constexpr uint32_t kSoundMinFrequency = 100;
constexpr uint32_t kSoundMaxFrequency = 100000;
constexpr uint32_t kSoundMinBufferBytes = 4;
constexpr uint32_t kSoundMaxBufferBytes = 0x0FFFFFFF;

// PCM, 1 or 2 channels, 8 or 16 bits, 100..200000 Hz, block align matching.
bool IsPlayableSoundFormat(const SoundFormat& format);

class SoundMixer;
struct SoundPCM;

// One voice: its own position, volume, frequency and looping state over PCM
// that it shares with its duplicates. Destroying it takes it off the mixer.
class SoundBuffer
{
public:
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // A new voice over the same PCM, at this voice's volume and frequency.
    std::unique_ptr<SoundBuffer> Duplicate();

    // Writing or reading the PCM: the mixer skips the buffer (and its
    // duplicates) while it is locked. Null when it is locked already.
    uint8_t* Lock(uint32_t& bytes);
    bool Unlock();

    // Plays on from the current position; a one-shot that reaches its end
    // stops and rewinds, a loop wraps. Stop keeps the position.
    void Play(bool loop);
    void Stop();
    bool IsPlaying() const;

    void SetVolume(int32_t attenuation); // -10000 (silent) .. 0
    int32_t GetVolume() const;
    void SetFrequency(uint32_t frequency); // clamped to 100..100000 Hz
    uint32_t GetFrequency() const;

    const SoundFormat& GetFormat() const;
    uint32_t GetBytes() const;

private:
    friend class SoundMixer;
    SoundBuffer(SoundMixer& mixer, std::shared_ptr<SoundPCM> pcm);

    SoundMixer& mMixer;
    std::shared_ptr<SoundPCM> mPCM;
    uint64_t mPosition = 0; // in frames, 32.32 fixed point
    int32_t mAttenuation = 0;
    float mGain = 1.0f;
    uint32_t mFrequency = 0;
    bool mPlaying = false;
    bool mLooping = false;
};

// Mixes every playing voice into signed 16-bit stereo at 44100 Hz; however
// many sound at once, the sum stays below full scale.
class SoundMixer
{
public:
    static constexpr uint32_t kOutputRate = 44100;

    SoundMixer() = default;
    ~SoundMixer();
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    // A zero-filled buffer; null for a format that cannot be played or a
    // size outside 4..0x0FFFFFFF bytes.
    std::unique_ptr<SoundBuffer> CreateBuffer(const SoundFormat& format, uint32_t bytes);

    // Interleaved left/right samples.
    void Render(int16_t* output, size_t frames);

private:
    friend class SoundBuffer;
    void Add(SoundBuffer* buffer);
    void Remove(SoundBuffer* buffer);
    void MixVoice(SoundBuffer& voice, float* mix, size_t frames);

    // Guards every voice's state against the audio thread and the loader.
    mutable std::mutex mLock;
    std::vector<SoundBuffer*> mVoices;
    std::vector<float> mMix;
};

// The sound card. Closed, or when it could not be opened, there is no mixer
// and the caller plays nothing.
class SoundDevice
{
public:
    SoundDevice() = default;
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // False when there is no audio driver or the device refuses to open.
    bool Open();
    // Every buffer of the mixer must be released first.
    void Close();
    SoundMixer* GetMixer() { return mMixer.get(); }

private:
    std::unique_ptr<SoundMixer> mMixer;
    uint32_t mDeviceId = 0;
};
} // namespace Platform
