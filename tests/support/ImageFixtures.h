#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

// The image fixtures (tests/fixtures/images/make_fixtures.sh) are drawn by
// independent encoders from these formulas, so readers can be checked pixel
// by pixel.
namespace ImageFixtures {

inline uint32_t Argb(int a, int r, int g, int b)
{
    return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}
inline int Red(int x, int y)
{
    return (x * 19 + y * 7) & 255;
}
inline int Green(int x, int y)
{
    return (x * 3 + y * 29) & 255;
}
inline int Blue(int x, int y)
{
    return (x * y * 5) & 255;
}

inline std::string Path(const std::string& name)
{
    const char* root = std::getenv("QS_SOURCE_DIR");
    return std::string(root != nullptr ? root : "..") + "/tests/fixtures/images/" + name;
}

} // namespace ImageFixtures
