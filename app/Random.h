#pragma once

#include <cstdint>

// Additive lagged-Fibonacci generator over 55 words of 30 bits. The game's
// behaviour is a pure function of this sequence once seeded, so the number
// and order of draws inside each operation are part of its contract.
class Random
{
  public:
    // Seeded from the millisecond clock.
    Random();

    void Seed(uint32_t seed);
    // Raw 24-bit draw.
    int32_t Next();
    // 0 .. |n| - 1 in one draw; a negative n, or allowNegative, adds a
    // second draw for the sign. n = 0 gives 0 without drawing.
    int32_t Get(int32_t n, bool allowNegative = false);
    // 0 .. 1 inclusive in steps of 0.00001; one draw, plus one for the sign
    // when allowNegative is set.
    float GetFloat(bool allowNegative = false);
    float GetFloatScaled(float max, bool allowNegative = false);
    int32_t RandomSign(int32_t value);
    float RandomSignFloat(float value);

  private:
    static constexpr int kWords = 55;

    int32_t a = 0;
    int32_t b = 31;
    uint32_t w[kWords] = {};
};

// The shared generator, built before main and living until exit.
extern Random* theRandom;
