#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// "graphics\gameplay": the board's frame, meters, counters, buttons,
// announcements and effects. Described by "splat.dat" so that its strips
// are packed frame by frame.
class GameplayArt
{
  public:
    static int Write(AssetWriter& out);
};

} // namespace AssetGen
