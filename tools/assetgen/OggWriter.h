#pragma once

#include <string>
#include <vector>

namespace AssetGen {

// Ogg Vorbis, mono. The stream serial number is given by the caller (not
// random) so that every run writes the same bytes.
class OggWriter
{
  public:
    static void Write(const std::string& path, const std::vector<float>& samples, int rate, int serial);
};

} // namespace AssetGen
