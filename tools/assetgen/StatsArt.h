#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// "graphics\stats": the records screen (jigsaw, high-score and statistics
// pages). Described, for its six button strips; its backdrop is the
// gameplay one, reached through a redirect file.
class StatsArt
{
  public:
    static int Write(AssetWriter& out);
};

} // namespace AssetGen
