#pragma once
// Checks shared by the loaders of saved records: a damaged value makes the
// whole record damaged.

#include <cmath>
#include <cstdint>
#include <initializer_list>

inline bool InRange(int32_t value, int32_t low, int32_t high)
{
    return value >= low && value <= high;
}

inline bool AllFinite(std::initializer_list<float> values)
{
    for (float value : values) {
        if (!std::isfinite(value)) {
            return false;
        }
    }
    return true;
}
