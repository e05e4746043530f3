#pragma once

#include <cstdint>

namespace AssetGen {

// A small generator of our own: the standard distributions differ between
// libraries, and the generated files must be the same bytes everywhere.
class Rng
{
  public:
    explicit Rng(uint32_t seed) : mState(seed ? seed : 0x9E3779B9u) {}

    uint32_t Next()
    {
        mState ^= mState << 13;
        mState ^= mState >> 17;
        mState ^= mState << 5;
        return mState;
    }
    float Unit() { return (Next() >> 8) * (1.0f / 16777216.0f); }
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
    int Int(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

  private:
    uint32_t mState;
};

} // namespace AssetGen
