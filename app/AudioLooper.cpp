#include "app/AudioLooper.h"

#include "app/App.h"
#include "app/Sound.h"
#include "app/SoundInstance.h"

AudioLooper::AudioLooper()
{
    if (theApp) {
        theApp->rootObjects.Add(this);
    }
}

AudioLooper::~AudioLooper()
{
    Stop();
    if (theApp) {
        theApp->rootObjects.Remove(this);
    }
}

// The fade always runs from full level down to 0 in 40 ticks, whatever the
// volume. Forty float steps of 0.025 leave about 4e-7 behind, so a level
// under half a step is the end.
void AudioLooper::Update()
{
    if (!voice || !stopping) {
        return;
    }
    fadeLevel -= fadeStep;
    if (fadeLevel < fadeStep / 2) {
        fadeLevel = 0.0f;
        voice->Stop();
        stopping = false;
        return;
    }
    voice->SetVolume(fadeLevel * baseVolume);
}

void AudioLooper::Pause()
{
    Object::Pause();
    if (pauseCount == 1 && voice && voice->IsPlaying()) {
        voice->Stop();
        held = true;
    }
}

void AudioLooper::Resume()
{
    Object::Resume();
    if (pauseCount == 0 && held) {
        held = false;
        voice->PlayLooped(voice->GetVolume());
    }
}

void AudioLooper::SetSound(Sound& sound)
{
    voice = sound.NextInstance();
    SetPitch(1.0f);
    requests = 0;
}

void AudioLooper::Start()
{
    if (!voice) {
        return;
    }
    ++requests;
    // Also the request that interrupts a fade-out.
    if (requests == 1) {
        if (IsPaused()) {
            voice->SetVolume(baseVolume * volume);
            held = true;
        } else {
            voice->PlayLooped(baseVolume * volume);
        }
        stopping = false;
    }
    fadeLevel = baseVolume;
}

void AudioLooper::Release()
{
    if (!voice) {
        return;
    }
    --requests;
    if (requests == 0) {
        stopping = true;
    } else if (requests < 0) {
        requests = 0;
    }
}

void AudioLooper::Stop()
{
    // While quitting the voices may already be going with their sounds.
    if (voice && theApp && !theApp->quit) {
        voice->Stop();
    }
    requests = 0;
    volume = 1.0f;
    stopping = false;
    held = false;
}

void AudioLooper::SetVolume(float v)
{
    volume = v;
    if (voice) {
        voice->SetVolume(v);
    }
}

void AudioLooper::SetPitch(float factor)
{
    if (voice) {
        voice->SetPitch(factor);
    }
}
