#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// Pictures loaded from their own files rather than from bundles: the title
// screen (needed before the loader thread runs), the pause sign, the options
// menu, and the cursor sheet.
class Screens
{
  public:
    static void Write(AssetWriter& out);

  private:
    static Canvas Title();
    static Canvas LoadingBar(bool filled);
    static Canvas SpinArrows();
    static Canvas PauseSign();
    static Canvas OptionsMenu();
    static Canvas CursorSheet();
};

} // namespace AssetGen
