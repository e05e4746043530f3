#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// The three jigsaw pictures, each cut into 20 pieces with tabs and
// written as a described bundle "graphics\jigsaws\puzzle%d" with the
// piece layout "info.cfg". Pieces are JPEG colour with "_alpha" masks.
class JigsawArt
{
  public:
    static constexpr int kWidth = 466;
    static constexpr int kHeight = 374;
    static constexpr int kColumns = 5;
    static constexpr int kRows = 4;

    static int Write(AssetWriter& out);
    static Canvas Picture(int index);

  private:
    static int WritePuzzle(AssetWriter& out, int index);
};

} // namespace AssetGen
