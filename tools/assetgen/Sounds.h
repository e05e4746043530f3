#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// Every sound effect of the game, synthesised. Loops are whole periods so
// they repeat without a seam; one-shots are short and fade to silence.
class Sounds
{
  public:
    static void Write(AssetWriter& out);
};

} // namespace AssetGen
