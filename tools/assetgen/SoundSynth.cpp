#include "tools/assetgen/SoundSynth.h"

#include <algorithm>
#include <cmath>

namespace AssetGen {
namespace {

constexpr float kTwoPi = 6.28318530718f;

float Oscillate(Wave wave, float phase)
{
    switch (wave) {
    case Wave::Sine:
        return std::sin(phase);
    case Wave::Triangle:
        return std::asin(std::sin(phase)) * (2 / 3.14159265f);
    case Wave::Square:
        break;
    }
    return std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5 + std::sin(7 * phase) / 7;
}

} // namespace

SoundSynth::SoundSynth(float seconds, unsigned seed)
    : mSamples(size_t(std::lround(seconds * kRate)), 0.0f), mRng(seed)
{
}

void SoundSynth::Add(const Voice& v)
{
    size_t first = size_t(v.start * kRate), count = size_t(v.length * kRate);
    double phase = 0;
    for (size_t i = 0; i < count && first + i < mSamples.size(); ++i) {
        float t = float(i) / kRate, u = t / v.length;
        // Exponential glide sounds even to the ear.
        float f = v.from * std::pow(v.to / v.from, u);
        if (v.vibrato > 0)
            f *= std::pow(2.0f, v.vibrato / 12 * std::sin(kTwoPi * 6 * t));
        phase += kTwoPi * f / kRate;
        float env = v.attack > 0 ? std::min(1.0f, t / v.attack) : 1.0f;
        if (v.decay > 0)
            env *= std::exp(-t / v.decay);
        // Every voice ends at zero: no clicks where notes stop.
        env *= std::min(1.0f, (v.length - t) / 0.004f);
        mSamples[first + i] += v.level * env * Oscillate(v.wave, float(phase));
    }
}

void SoundSynth::Noise(float start, float length, float level, float attack, float decay, float brightness)
{
    size_t first = size_t(start * kRate), count = size_t(length * kRate);
    float low = 0;
    for (size_t i = 0; i < count && first + i < mSamples.size(); ++i) {
        float t = float(i) / kRate;
        float white = mRng.Range(-1, 1);
        low += (white - low) * brightness; // one-pole low pass
        float env = attack > 0 ? std::min(1.0f, t / attack) : 1.0f;
        if (decay > 0)
            env *= std::exp(-t / decay);
        env *= std::min(1.0f, (length - t) / 0.004f);
        mSamples[first + i] += level * env * low;
    }
}

void SoundSynth::Bell(float start, float freq, float length, float level)
{
    // Inharmonic partials, the higher ones dying first.
    const float ratios[] = {1.0f, 2.76f, 5.40f, 8.93f};
    const float levels[] = {1.0f, 0.5f, 0.25f, 0.12f};
    for (int k = 0; k < 4; ++k)
        Add({start, length, freq * ratios[k], freq * ratios[k], Wave::Sine, level * levels[k], 0.002f,
             length / (2.5f + k * 1.5f)});
}

void SoundSynth::Shape(const std::function<float(float t)>& f)
{
    for (size_t i = 0; i < mSamples.size(); ++i)
        mSamples[i] += f(float(i) / kRate);
}

void SoundSynth::Normalise(float peak)
{
    float top = 0;
    for (float s : mSamples)
        top = std::max(top, std::fabs(s));
    if (top > 0)
        for (float& s : mSamples)
            s *= peak / top;
}

std::vector<float> SoundSynth::Finish(float peak)
{
    Normalise(peak);
    size_t fade = std::min(mSamples.size(), size_t(kRate / 100));
    for (size_t i = 0; i < fade; ++i)
        mSamples[mSamples.size() - 1 - i] *= float(i) / fade;
    return mSamples;
}

std::vector<float> SoundSynth::FinishLoop(float peak)
{
    Normalise(peak);
    return mSamples;
}

} // namespace AssetGen
