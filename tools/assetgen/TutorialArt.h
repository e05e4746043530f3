#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// "graphics\tutorial": the teaching pages shown before each kind of level,
// with pictures kept beside the live demonstration board. Described, for
// its one strip.
class TutorialArt
{
  public:
    static int Write(AssetWriter& out);
};

} // namespace AssetGen
