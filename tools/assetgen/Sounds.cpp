#include "tools/assetgen/Sounds.h"

#include "tools/assetgen/SoundSynth.h"

#include <cmath>
#include <functional>
#include <string>

namespace AssetGen {
namespace {

constexpr float kTwoPi = 6.28318530718f;
// The mixer adds up every voice and clips at full scale: each sound leaves
// room for the others of the busiest moment, a cascade's match, bonus,
// combo and meter sounds over the board's loops, at full volume.
constexpr float kMasterLevel = 0.27f;

float Note(int semitonesFromA4)
{
    return 440.0f * std::pow(2.0f, semitonesFromA4 / 12.0f);
}

// Notes of a short tune: each {semitones from A4, start, length}.
struct Step
{
    int note;
    float start;
    float length;
};

void Tune(SoundSynth& s, std::initializer_list<Step> steps, Wave wave, float level, float decay)
{
    for (const Step& n : steps)
        s.Add({n.start, n.length, Note(n.note), Note(n.note), wave, level, 0.01f, decay, 0.15f});
}

std::vector<float> Hilite()
{
    SoundSynth s(0.09f);
    s.Add({0, 0.09f, 1320, 1760, Wave::Sine, 0.6f, 0.003f, 0.03f});
    return s.Finish(0.5f);
}

std::vector<float> Click()
{
    SoundSynth s(0.06f, 2);
    s.Add({0, 0.05f, 2100, 1500, Wave::Sine, 0.6f, 0.001f, 0.012f});
    s.Noise(0, 0.02f, 0.4f, 0.0005f, 0.004f, 0.6f);
    return s.Finish(0.6f);
}

std::vector<float> Whoosh(float from, float to, unsigned seed)
{
    SoundSynth s(0.7f, seed);
    s.Noise(0, 0.7f, 0.5f, 0.25f, 0.35f, 0.15f);
    s.Add({0, 0.7f, from, to, Wave::Triangle, 0.5f, 0.2f, 0.3f, 0.2f});
    s.Add({0.05f, 0.6f, from * 1.5f, to * 1.5f, Wave::Sine, 0.25f, 0.2f, 0.25f});
    return s.Finish();
}

std::vector<float> Match()
{
    SoundSynth s(0.35f);
    for (int n : {3, 7, 10})
        s.Add({0, 0.35f, Note(n + 12), Note(n + 12), Wave::Triangle, 0.4f, 0.003f, 0.09f});
    s.Bell(0, Note(15 + 12), 0.3f, 0.2f);
    return s.Finish();
}

std::vector<float> Drag()
{
    SoundSynth s(0.14f, 3);
    s.Noise(0, 0.14f, 0.6f, 0.04f, 0.05f, 0.25f);
    return s.Finish(0.45f);
}

std::vector<float> Snap()
{
    SoundSynth s(0.1f, 4);
    s.Add({0, 0.1f, 1250, 900, Wave::Sine, 0.7f, 0.001f, 0.02f});
    s.Noise(0, 0.03f, 0.5f, 0.0005f, 0.006f, 0.5f);
    return s.Finish(0.7f);
}

std::vector<float> Arpeggio(std::initializer_list<int> notes, float step, Wave wave, float tail)
{
    SoundSynth s(step * notes.size() + tail);
    float t = 0;
    for (int n : notes) {
        s.Add({t, step + tail, Note(n), Note(n), wave, 0.45f, 0.004f, (step + tail) / 3});
        t += step;
    }
    return s.Finish();
}

std::vector<float> NoiseHit(float length, float decay, float brightness, unsigned seed, float tone)
{
    SoundSynth s(length, seed);
    s.Noise(0, length, 0.8f, 0.001f, decay, brightness);
    if (tone > 0)
        s.Add({0, length, tone, tone * 0.5f, Wave::Sine, 0.6f, 0.002f, decay * 1.5f});
    return s.Finish();
}

std::vector<float> Crack()
{
    SoundSynth s(0.2f, 5);
    for (int i = 0; i < 5; ++i)
        s.Noise(i * 0.025f, 0.06f, 0.7f - i * 0.1f, 0.0005f, 0.01f, 0.7f);
    return s.Finish();
}

std::vector<float> Shatter()
{
    SoundSynth s(0.6f, 6);
    s.Noise(0, 0.6f, 0.6f, 0.001f, 0.12f, 0.8f);
    for (int i = 0; i < 9; ++i) {
        float f = s.Random(2500, 6000);
        s.Add({s.Random(0, 0.2f), 0.35f, f, f, Wave::Sine, 0.15f, 0.001f, 0.06f});
    }
    return s.Finish();
}

std::vector<float> Bomb()
{
    SoundSynth s(0.8f, 7);
    s.Add({0, 0.8f, 90, 35, Wave::Sine, 0.9f, 0.002f, 0.25f});
    s.Noise(0, 0.8f, 0.7f, 0.002f, 0.2f, 0.05f);
    return s.Finish(0.9f);
}

std::vector<float> Bloop()
{
    SoundSynth s(0.12f);
    s.Add({0, 0.12f, 220, 660, Wave::Sine, 0.7f, 0.004f, 0.05f});
    return s.Finish(0.55f);
}

std::vector<float> Jingle(std::initializer_list<Step> melody, std::initializer_list<Step> bass, float length)
{
    SoundSynth s(length);
    Tune(s, melody, Wave::Square, 0.3f, 0.25f);
    Tune(s, bass, Wave::Triangle, 0.35f, 0.4f);
    // Long and played once per combo: a cascade overlaps several.
    return s.Finish(0.5f);
}

std::vector<float> Bell()
{
    SoundSynth s(1.3f);
    s.Bell(0, Note(7), 1.3f, 0.6f);
    return s.Finish();
}

std::vector<float> Morph()
{
    SoundSynth s(0.6f);
    s.Add({0, 0.6f, 300, 900, Wave::Triangle, 0.5f, 0.02f, 0, 1.5f});
    s.Add({0, 0.6f, 450, 225, Wave::Sine, 0.3f, 0.02f, 0.3f});
    return s.Finish();
}

std::vector<float> Danger()
{
    SoundSynth s(0.45f);
    s.Add({0, 0.2f, 330, 330, Wave::Square, 0.5f, 0.005f, 0.1f});
    s.Add({0.22f, 0.2f, 262, 262, Wave::Square, 0.5f, 0.005f, 0.1f});
    return s.Finish();
}

std::vector<float> Gold()
{
    SoundSynth s(0.6f);
    s.Bell(0, Note(22), 0.6f, 0.4f);
    s.Bell(0.07f, Note(27), 0.5f, 0.35f);
    return s.Finish();
}

std::vector<float> Firework()
{
    SoundSynth s(1.3f, 8);
    s.Add({0, 0.5f, 600, 2400, Wave::Sine, 0.25f, 0.05f, 0});
    s.Noise(0.5f, 0.15f, 0.9f, 0.001f, 0.05f, 0.3f);
    for (int i = 0; i < 24; ++i)
        s.Noise(0.55f + s.Random(0, 0.7f), 0.02f, 0.3f, 0.0005f, 0.005f, 0.8f);
    return s.Finish();
}

std::vector<float> Shake()
{
    SoundSynth s(0.5f, 9);
    for (int i = 0; i < 12; ++i)
        s.Noise(i * 0.04f, 0.035f, 0.6f, 0.002f, 0.012f, 0.35f);
    return s.Finish();
}

// Loops: whole cycles of every part, so the end meets the start.
std::vector<float> MeterHum()
{
    SoundSynth s(1.0f);
    s.Shape([](float t) {
        float tremolo = 0.6f + 0.4f * std::sin(kTwoPi * 4 * t);
        return tremolo * (0.5f * std::sin(kTwoPi * 220 * t) + 0.25f * std::sin(kTwoPi * 331 * t) +
                          0.1f * std::sin(kTwoPi * 440 * t));
    });
    return s.FinishLoop(0.25f);
}

std::vector<float> WarningLoop()
{
    SoundSynth s(1.0f);
    s.Shape([](float t) {
        float f = std::fmod(t, 0.5f) < 0.25f ? 880 : 660;
        float inTone = std::fmod(t, 0.25f);
        float gate = std::min(1.0f, std::min(inTone, 0.25f - inTone) / 0.01f);
        return gate * std::sin(kTwoPi * f * t) * 0.6f;
    });
    return s.FinishLoop(0.3f);
}

std::vector<float> Chatter()
{
    SoundSynth s(1.0f, 10);
    // 18 clacks a second, each a tiny decaying knock.
    s.Shape([](float t) {
        float local = std::fmod(t * 18, 1.0f) / 18;
        float env = std::exp(-local / 0.006f);
        return env * std::sin(kTwoPi * 1800 * local) * 0.7f;
    });
    return s.FinishLoop(0.3f);
}

std::vector<float> TickTock()
{
    SoundSynth s(1.0f);
    s.Shape([](float t) {
        float local = std::fmod(t, 0.5f);
        float f = t < 0.5f ? 2400 : 1700;
        return std::exp(-local / 0.01f) * std::sin(kTwoPi * f * local) * 0.7f;
    });
    return s.FinishLoop(0.6f);
}

struct SoundRecipe
{
    const char* name;
    bool ogg;
    std::function<std::vector<float>()> make;
};

} // namespace

void Sounds::Write(AssetWriter& out)
{
    const SoundRecipe recipes[] = {
        {"hilite", false, Hilite},
        {"click", false, Click},
        {"quorbsound", true, [] { return Whoosh(300, 900, 11); }},
        {"quorbsoundskull", true, [] { return Whoosh(420, 110, 12); }},
        {"match", true, Match},
        {"drag", false, Drag},
        {"snap", false, Snap},
        {"bonus", true,
         [] {
             return Arpeggio({3, 7, 10, 15}, 0.06f, Wave::Triangle, 0.2f);
         }},
        {"crack", true, Crack},
        {"shatter", true, Shatter},
        {"bomb", true, Bomb},
        {"hilitelevel", false, [] { return Arpeggio({19}, 0.05f, Wave::Sine, 0.15f); }},
        {"bloop", false, Bloop},
        {"wontheme", true,
         [] {
             return Jingle({{3, 0, 0.18f},
                            {7, 0.18f, 0.18f},
                            {10, 0.36f, 0.18f},
                            {15, 0.54f, 0.36f},
                            {12, 0.9f, 0.18f},
                            {15, 1.08f, 0.18f},
                            {19, 1.26f, 0.7f}},
                           {{-9, 0, 0.54f}, {-14, 0.54f, 0.54f}, {-9, 1.08f, 0.9f}}, 2.1f);
         }},
        {"quorbmeter", false, MeterHum},
        {"bell", true, Bell},
        {"warningloop", false, WarningLoop},
        {"lose", true,
         [] {
             return Jingle({{7, 0, 0.3f}, {6, 0.3f, 0.3f}, {5, 0.6f, 0.3f}, {4, 0.9f, 0.6f}},
                           {{-17, 0, 0.6f}, {-20, 0.6f, 0.9f}}, 1.6f);
         }},
        {"diedsong", true,
         [] {
             return Jingle(
                 {{0, 0, 0.4f}, {-2, 0.4f, 0.4f}, {-4, 0.8f, 0.4f}, {-5, 1.2f, 0.4f}, {-9, 1.6f, 0.9f}},
                 {{-21, 0, 0.8f}, {-24, 0.8f, 0.8f}, {-28, 1.6f, 0.9f}}, 2.6f);
         }},
        {"morph", true, Morph},
        {"danger", true, Danger},
        {"chatter", false, Chatter},
        {"crunch", true, [] { return NoiseHit(0.28f, 0.07f, 0.35f, 13, 140); }},
        {"fanfare", true,
         [] {
             return Jingle({{3, 0, 0.15f},
                            {3, 0.15f, 0.15f},
                            {3, 0.3f, 0.15f},
                            {7, 0.45f, 0.45f},
                            {5, 0.9f, 0.15f},
                            {7, 1.05f, 0.6f}},
                           {{-21, 0, 0.45f}, {-14, 0.45f, 0.45f}, {-9, 0.9f, 0.75f}}, 1.7f);
         }},
        {"fanfare2", true,
         [] {
             return Jingle({{10, 0, 0.15f}, {14, 0.15f, 0.15f}, {17, 0.3f, 0.3f}, {22, 0.6f, 0.7f}},
                           {{-14, 0, 0.3f}, {-9, 0.3f, 0.3f}, {-2, 0.6f, 0.7f}}, 1.4f);
         }},
        {"ticktock", false, TickTock},
        {"gold", true, Gold},
        {"clickbonus", true,
         [] {
             return Arpeggio({15, 22}, 0.05f, Wave::Triangle, 0.12f);
         }},
        {"quorbwin", true,
         [] {
             return Arpeggio({3, 7, 10, 15, 19, 22, 27}, 0.07f, Wave::Sine, 0.4f);
         }},
        {"firework", true, Firework},
        {"zing", true,
         [] {
             SoundSynth s(0.3f);
             s.Add({0, 0.3f, 500, 3000, Wave::Triangle, 0.5f, 0.005f, 0.12f});
             return s.Finish();
         }},
        {"shake", true, Shake},
    };
    for (const SoundRecipe& r : recipes) {
        std::vector<float> samples = r.make();
        for (float& sample : samples)
            sample *= kMasterLevel;
        out.SaveSound(std::string("sounds\\") + r.name, samples, SoundSynth::kRate, r.ogg);
    }
}

} // namespace AssetGen
