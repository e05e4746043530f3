#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// "graphics\mainmenu": the main menu, the game picker and the difficulty
// picker. A plain folder: the game lists it.
class MainMenuArt
{
  public:
    static int Write(AssetWriter& out);
};

} // namespace AssetGen
