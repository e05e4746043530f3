#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// Data the game reads besides pictures and sounds: the display-card list
// and the game's two fonts.
class DataFiles
{
  public:
    static void Write(AssetWriter& out);
};

} // namespace AssetGen
