// Colours cycling through timed keys.
#include "game/ColorCycler.h"

#include <algorithm>
#include <cmath>

namespace {

Color KeyColor(const ColorCycler::Key& key)
{
    return Color(key.r, key.g, key.b, key.a);
}

} // namespace

ColorCycler::ColorCycler() = default;

ColorCycler::~ColorCycler() = default;

void ColorCycler::AddColor(float r, float g, float b, float a, float duration)
{
    keys.push_back(Key{totalTime, r, g, b, a});
    totalTime += duration;
}

void ColorCycler::CloseLoop()
{
    if (keys.empty())
        return;
    Key closing = keys.front();
    closing.start = totalTime;
    keys.push_back(closing);
}

Color ColorCycler::GetColor(float t) const
{
    if (keys.empty())
        return Color();
    const int n = static_cast<int>(keys.size());
    // One key has no cycle to wrap around.
    if (n == 1)
        return KeyColor(keys.front());
    if (t > static_cast<float>(n - 1)) {
        // Whole cycles off, the fraction kept; fmod stays defined for any size.
        const float whole = std::trunc(t);
        t = std::fmod(whole, static_cast<float>(n - 1)) + (t - whole);
    }
    if (t < 0.0f)
        return KeyColor(keys.front());
    if (t >= static_cast<float>(n))
        return KeyColor(keys.back());
    int k = n - 1;
    while (k >= 0 && keys[static_cast<size_t>(k)].start > t)
        k--;
    if (k < 0)
        return Color();
    if (k == n - 1)
        return KeyColor(keys.back());
    const Key& from = keys[static_cast<size_t>(k)];
    const Key& to = keys[static_cast<size_t>(k + 1)];
    const float span = to.start - from.start;
    // A zero duration jumps straight to the next key.
    const float f = span > 0.0f ? std::min((t - std::floor(t)) / span, 1.0f) : 1.0f;
    const auto mix = [f](float a, float b) { return std::min(f * b + (1.0f - f) * a, 1.0f); };
    return Color(mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b), mix(from.a, to.a));
}
