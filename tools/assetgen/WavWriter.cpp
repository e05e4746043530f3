#include "tools/assetgen/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace AssetGen {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v & 255));
    out.push_back(uint8_t(v >> 8));
}

} // namespace

std::vector<uint8_t> WavWriter::Encode(const std::vector<float>& samples, int rate)
{
    uint32_t dataSize = uint32_t(samples.size() * 2);
    std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
    Put32(out, 36 + dataSize);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, uint32_t(rate));
    Put32(out, uint32_t(rate * 2));
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, dataSize);
    for (float s : samples)
        Put16(out, uint16_t(int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767))));
    return out;
}

} // namespace AssetGen
