#include "app/Random.h"

#include "platform/Clock.h"

namespace {
constexpr uint32_t kWordMask = 0x3FFFFFFF;

Random sharedRandom;
} // namespace

Random* theRandom = &sharedRandom;

Random::Random()
{
    Seed(Platform::Clock::Milliseconds());
}

void Random::Seed(uint32_t seed)
{
    w[0] = seed & kWordMask;
    w[1] = 1;
    for (int k = 2; k < kWords; ++k)
        w[k] = (w[k - 2] + w[k - 1]) & kWordMask;
    a = 0;
    b = 31;
}

int32_t Random::Next()
{
    w[a] = (w[a] + w[b]) & kWordMask;
    uint32_t stored = w[a];
    a = (a + 1) % kWords;
    b = (b + 1) % kWords;
    return int32_t(stored >> 6);
}

int32_t Random::Get(int32_t n, bool allowNegative)
{
    if (n == 0)
        return 0;
    if (n < 0) {
        // -INT32_MIN does not exist; the nearest range stands in for it.
        n = n == INT32_MIN ? INT32_MAX : -n;
        allowNegative = true;
    }
    int64_t power = 2;
    while (power < n)
        power *= 2;
    int32_t result = int32_t((int64_t(Next()) & (power - 1)) % n);
    if (allowNegative && Get(2, false) == 1)
        result = -result;
    return result;
}

float Random::GetFloat(bool allowNegative)
{
    float value = float(Get(100001, false)) / 100000.0f;
    if (allowNegative && Get(2, false) == 1)
        value = -value;
    return value;
}

float Random::GetFloatScaled(float max, bool allowNegative)
{
    float value = GetFloat(false) * max;
    if (allowNegative && Get(2, false) == 1)
        value = -value;
    return value;
}

int32_t Random::RandomSign(int32_t value)
{
    return Get(2, false) == 1 ? value : -value;
}

float Random::RandomSignFloat(float value)
{
    return Get(2, false) == 1 ? value : -value;
}
