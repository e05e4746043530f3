#include "platform/Sound.h"

#include "platform/Crash.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace Platform {
// The PCM of a buffer and its duplicates.
struct SoundPCM
{
    SoundFormat format;
    std::vector<uint8_t> bytes;
    bool locked = false;
};

namespace {
constexpr uint32_t kMinSampleRate = 100;
constexpr uint32_t kMaxSampleRate = 200000;
// Small enough that a volume or pitch change made every 10 ms is heard on
// time.
constexpr uint16_t kDeviceFrames = 512;

float AttenuationToGain(int32_t attenuation)
{
    if (attenuation <= kSoundSilence) {
        return 0.0f;
    }
    return static_cast<float>(std::pow(10.0, attenuation / 2000.0));
}

// One channel's sample of one frame as a float in the 16-bit range.
float SampleAt(const SoundPCM& pcm, size_t frame, int channel)
{
    const uint8_t* at = pcm.bytes.data() + frame * pcm.format.blockAlign;
    if (pcm.format.bitsPerSample == 8) {
        // 8-bit PCM is unsigned around 128.
        return static_cast<float>((static_cast<int>(at[channel]) - 128) * 256);
    }
    const uint8_t* sample = at + channel * 2;
    return static_cast<float>(static_cast<int16_t>(sample[0] | (sample[1] << 8)));
}

// However many voices sound at once, the mix stays below full scale: up to
// the knee a sample passes unchanged, so ordinary play is as loud as ever;
// beyond it the sample bends smoothly towards the ceiling, 1 dB below full
// scale, and never reaches it. Only the rare loud sample pays for the curve.
constexpr float kLimiterKnee = 24576.0f;    // -2.5 dBFS
constexpr float kLimiterCeiling = 29205.0f; // -1 dBFS

int16_t LimitToSample(float value)
{
    const float magnitude = std::fabs(value);
    if (magnitude <= kLimiterKnee) {
        return static_cast<int16_t>(value);
    }
    const float room = kLimiterCeiling - kLimiterKnee;
    return static_cast<int16_t>(
        std::copysign(kLimiterKnee + room * std::tanh((magnitude - kLimiterKnee) / room), value));
}

// The device's thread is SDL's: it gets its alternate stack here.
void RenderFromDevice(void* mixer, Uint8* stream, int length)
{
    Crash::PrepareThread();
    static_cast<SoundMixer*>(mixer)->Render(reinterpret_cast<int16_t*>(stream),
                                            static_cast<size_t>(length) / (2 * sizeof(int16_t)));
}
} // namespace

bool IsPlayableSoundFormat(const SoundFormat& format)
{
    return format.formatTag == kSoundFormatPCM && (format.channels == 1 || format.channels == 2) &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
           format.samplesPerSecond >= kMinSampleRate && format.samplesPerSecond <= kMaxSampleRate &&
           format.blockAlign == format.channels * format.bitsPerSample / 8;
}

SoundBuffer::SoundBuffer(SoundMixer& mixer, std::shared_ptr<SoundPCM> pcm)
    : mMixer(mixer), mPCM(std::move(pcm)), mFrequency(mPCM->format.samplesPerSecond)
{
    mMixer.Add(this);
}

SoundBuffer::~SoundBuffer()
{
    mMixer.Remove(this);
}

std::unique_ptr<SoundBuffer> SoundBuffer::Duplicate()
{
    std::unique_ptr<SoundBuffer> duplicate(new SoundBuffer(mMixer, mPCM));
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    duplicate->mAttenuation = mAttenuation;
    duplicate->mGain = mGain;
    duplicate->mFrequency = mFrequency;
    return duplicate;
}

uint8_t* SoundBuffer::Lock(uint32_t& bytes)
{
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    if (mPCM->locked) {
        bytes = 0;
        return nullptr;
    }
    mPCM->locked = true;
    bytes = static_cast<uint32_t>(mPCM->bytes.size());
    return mPCM->bytes.data();
}

bool SoundBuffer::Unlock()
{
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    if (!mPCM->locked) {
        return false;
    }
    mPCM->locked = false;
    return true;
}

void SoundBuffer::Play(bool loop)
{
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    mPlaying = true;
    mLooping = loop;
}

void SoundBuffer::Stop()
{
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    mPlaying = false;
}

bool SoundBuffer::IsPlaying() const
{
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    return mPlaying;
}

void SoundBuffer::SetVolume(int32_t attenuation)
{
    attenuation = std::clamp(attenuation, kSoundSilence, 0);
    const float gain = AttenuationToGain(attenuation);
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    mAttenuation = attenuation;
    mGain = gain;
}

int32_t SoundBuffer::GetVolume() const
{
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    return mAttenuation;
}

void SoundBuffer::SetFrequency(uint32_t frequency)
{
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    mFrequency = std::clamp(frequency, kSoundMinFrequency, kSoundMaxFrequency);
}

uint32_t SoundBuffer::GetFrequency() const
{
    std::lock_guard<std::mutex> guard(mMixer.mLock);
    return mFrequency;
}

const SoundFormat& SoundBuffer::GetFormat() const
{
    return mPCM->format;
}

uint32_t SoundBuffer::GetBytes() const
{
    return static_cast<uint32_t>(mPCM->bytes.size());
}

SoundMixer::~SoundMixer() = default;

std::unique_ptr<SoundBuffer> SoundMixer::CreateBuffer(const SoundFormat& format, uint32_t bytes)
{
    if (!IsPlayableSoundFormat(format) || bytes < kSoundMinBufferBytes || bytes > kSoundMaxBufferBytes) {
        return nullptr;
    }
    auto pcm = std::make_shared<SoundPCM>();
    pcm->format = format;
    pcm->format.bytesPerSecond = format.blockAlign * format.samplesPerSecond;
    pcm->bytes.assign(bytes, format.bitsPerSample == 8 ? 128 : 0);
    return std::unique_ptr<SoundBuffer>(new SoundBuffer(*this, std::move(pcm)));
}

void SoundMixer::Render(int16_t* output, size_t frames)
{
    std::lock_guard<std::mutex> guard(mLock);
    mMix.assign(frames * 2, 0.0f);
    for (SoundBuffer* voice : mVoices) {
        if (voice->mPlaying && !voice->mPCM->locked) {
            MixVoice(*voice, mMix.data(), frames);
        }
    }
    for (size_t i = 0; i < frames * 2; ++i) {
        output[i] = LimitToSample(mMix[i]);
    }
}

void SoundMixer::Add(SoundBuffer* buffer)
{
    std::lock_guard<std::mutex> guard(mLock);
    mVoices.push_back(buffer);
}

void SoundMixer::Remove(SoundBuffer* buffer)
{
    std::lock_guard<std::mutex> guard(mLock);
    std::erase(mVoices, buffer);
}

// Linear interpolation between neighbouring frames; a loop reads its first
// frame after its last, so the wrap is seamless.
void SoundMixer::MixVoice(SoundBuffer& voice, float* mix, size_t frames)
{
    const SoundPCM& pcm = *voice.mPCM;
    const uint64_t length = pcm.bytes.size() / pcm.format.blockAlign;
    if (length == 0) {
        voice.mPlaying = false;
        return;
    }
    const uint64_t end = length << 32;
    const uint64_t step = (static_cast<uint64_t>(voice.mFrequency) << 32) / kOutputRate;
    const int lastChannel = pcm.format.channels - 1;
    for (size_t i = 0; i < frames; ++i) {
        if (voice.mPosition >= end) {
            if (!voice.mLooping) {
                voice.mPlaying = false;
                voice.mPosition = 0;
                return;
            }
            voice.mPosition %= end;
        }
        const uint64_t frame = voice.mPosition >> 32;
        const float fraction = static_cast<float>(voice.mPosition & 0xFFFFFFFFu) / 4294967296.0f;
        uint64_t next = frame + 1;
        if (next == length) {
            next = voice.mLooping ? 0 : frame;
        }
        for (int channel = 0; channel < 2; ++channel) {
            const int source = std::min(channel, lastChannel);
            const float a = SampleAt(pcm, frame, source);
            const float b = SampleAt(pcm, next, source);
            mix[i * 2 + channel] += (a + (b - a) * fraction) * voice.mGain;
        }
        voice.mPosition += step;
    }
}

SoundDevice::~SoundDevice()
{
    Close();
}

bool SoundDevice::Open()
{
    Close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    auto mixer = std::make_unique<SoundMixer>();
    SDL_AudioSpec wanted{};
    wanted.freq = SoundMixer::kOutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = kDeviceFrames;
    wanted.callback = RenderFromDevice;
    wanted.userdata = mixer.get();
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the card wants.
    mDeviceId = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (mDeviceId == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    mMixer = std::move(mixer);
    SDL_PauseAudioDevice(mDeviceId, 0);
    return true;
}

void SoundDevice::Close()
{
    if (mDeviceId == 0) {
        return;
    }
    SDL_CloseAudioDevice(mDeviceId);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    mDeviceId = 0;
    mMixer.reset();
}
} // namespace Platform
