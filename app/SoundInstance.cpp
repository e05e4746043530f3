#include "app/SoundInstance.h"

#include "app/Audio.h"

SoundInstance::SoundInstance(std::unique_ptr<Platform::SoundBuffer> buffer) : buffer(std::move(buffer))
{
    theAudio.AddInstance(this);
    if (this->buffer) {
        baseFrequency = this->buffer->GetFrequency();
    }
}

SoundInstance::~SoundInstance()
{
    // After the device has shut down the list is gone, and so is the buffer.
    if (!theAudio.IsShutDown()) {
        theAudio.RemoveInstance(this);
    }
}

void SoundInstance::SetVolume(float v)
{
    if (!buffer) {
        return;
    }
    volume = v;
    buffer->SetVolume(Audio::VolumeToAttenuation(v * theAudio.GetSoundVolume()));
}

void SoundInstance::ResetFrequency()
{
    if (buffer) {
        buffer->SetFrequency(baseFrequency);
    }
}

void SoundInstance::SetPitch(float factor)
{
    if (!buffer) {
        return;
    }
    // Clamped while still a float: a huge or invalid factor must not reach
    // the integer conversion.
    const float frequency = static_cast<float>(baseFrequency) * factor;
    uint32_t hertz = Platform::kSoundMinFrequency;
    if (frequency >= static_cast<float>(Platform::kSoundMaxFrequency)) {
        hertz = Platform::kSoundMaxFrequency;
    } else if (frequency > static_cast<float>(Platform::kSoundMinFrequency)) {
        hertz = static_cast<uint32_t>(frequency);
    }
    buffer->SetFrequency(hertz);
}

void SoundInstance::Play(float v)
{
    if (!buffer) {
        return;
    }
    buffer->Stop();
    SetVolume(v);
    buffer->Play(false);
    looping = false;
}

void SoundInstance::PlayLooped(float v)
{
    if (!buffer) {
        return;
    }
    SetVolume(v);
    buffer->Play(true);
    looping = true;
}

void SoundInstance::Stop()
{
    if (!buffer) {
        return;
    }
    buffer->Stop();
    looping = false;
}

bool SoundInstance::IsPlaying() const
{
    return buffer && buffer->IsPlaying();
}

void SoundInstance::ReleaseBuffer()
{
    buffer.reset();
}
