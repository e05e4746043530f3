#pragma once

#include "tools/assetgen/AssetWriter.h"

namespace AssetGen {

// The game pieces: eight colours, each with its own silhouette so that
// players who cannot tell the hues apart still can tell the pieces, and the
// skull. 256-pixel cells, as the board's effects are sized for them.
class Pieces
{
  public:
    static constexpr int kSize = 256;
    static constexpr int kColourKinds = 8;
    static constexpr int kSkull = 8;

    // variant: 0 normal, 1 active (skull: 0, 1 idle; 1, 2 flying in)
    static Canvas Art(int kind, int variant);
    static Color KindColor(int kind);
    static void Write(AssetWriter& out);

  private:
    static Canvas Skull(int variant);
    static Canvas Crack();
    static Canvas HintArrow();
    static Canvas Chip();
    static Canvas Smoke();
    static Canvas GoldBrick();
};

} // namespace AssetGen
