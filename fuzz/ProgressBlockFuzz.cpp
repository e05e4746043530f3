#include "game/ProfileProgress.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

// The progress block is read straight from "config.cfg" into the record:
// after the clean-up every field the game indexes or converts is in range.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ProfileProgress progress;
    std::memcpy(&progress, data, size < sizeof progress ? size : sizeof progress);
    progress.Sanitize();
    progress.RenumberPieces();
    if (progress.currentJigsaw >= uint32_t(kJigsawPictures))
        std::abort();
    for (const JigsawPieceRecord& piece : progress.pieces) {
        if (piece.owned > 1 || piece.placed > 1 || !std::isfinite(piece.x) || !std::isfinite(piece.y) ||
            piece.x < ProfileProgress::kLooseMinX || piece.x > ProfileProgress::kLooseMaxX ||
            piece.y < ProfileProgress::kLooseMinY || piece.y > ProfileProgress::kLooseMaxY)
            std::abort();
    }
    for (uint8_t shown : progress.tutorialShown)
        if (shown > 1)
            std::abort();
    return 0;
}
