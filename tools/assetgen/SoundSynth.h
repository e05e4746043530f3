#pragma once

#include "tools/assetgen/Rng.h"

#include <functional>
#include <vector>

namespace AssetGen {

enum class Wave {
    Sine,
    Triangle,
    Square, // softened: a few odd harmonics only
};

// A note or sweep: frequency glides from `from` to `to`; the level rises
// over `attack` seconds and then falls by e every `decay` seconds (0: holds).
struct Voice
{
    float start = 0;
    float length = 0.1f;
    float from = 440;
    float to = 440;
    Wave wave = Wave::Sine;
    float level = 0.5f;
    float attack = 0.005f;
    float decay = 0;
    float vibrato = 0; // depth in semitones, at 6 Hz
};

// Short synthesised effects: a sample buffer and a few ways to add to it.
class SoundSynth
{
  public:
    static constexpr int kRate = 22050;

    explicit SoundSynth(float seconds, unsigned seed = 1);

    void Add(const Voice& v);
    void Noise(float start, float length, float level, float attack, float decay, float brightness);
    void Bell(float start, float freq, float length, float level);
    // Adds f(t) over the whole buffer; for loops, f repeats with the buffer.
    void Shape(const std::function<float(float t)>& f);
    float Random(float lo, float hi) { return mRng.Range(lo, hi); }
    // Ends with a short fade so that a one-shot never ends on a click.
    std::vector<float> Finish(float peak = 0.8f);
    // Loops are built from whole periods and need no fade.
    std::vector<float> FinishLoop(float peak = 0.7f);

  private:
    void Normalise(float peak);

    std::vector<float> mSamples;
    Rng mRng;
};

} // namespace AssetGen
