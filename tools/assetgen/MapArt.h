#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// "graphics\map": the journey map, its squares and tooltips, and the
// high-score name entry. Described by "splat.dat" (two strips).
class MapArt
{
  public:
    static int Write(AssetWriter& out);
};

} // namespace AssetGen
