#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// The in-game popup menu ("graphics\popupmenu", a plain folder) and the
// profile and message dialogs ("graphics\profiles", described, whose
// generic buttons live in "graphics\buttons" and are found through the
// folder's fallback redirect).
class DialogArt
{
  public:
    static int WritePopupMenu(AssetWriter& out);
    static int WriteProfiles(AssetWriter& out);
};

} // namespace AssetGen
