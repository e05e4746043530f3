// Creating and checking the per-profile progress block.
#include "game/ProfileProgress.h"

#include "app/Random.h"

#include <algorithm>
#include <cmath>

namespace {

// A file byte that is not 1 is not a set flag (as IOBuffer reads bools).
uint8_t Flag(uint8_t byte)
{
    return byte == 1 ? 1 : 0;
}

float IntoRange(float v, float low, float high)
{
    if (!std::isfinite(v))
        return low;
    return std::clamp(v, low, high);
}

} // namespace

ProfileProgress ProfileProgress::CreateNew()
{
    ProfileProgress block{};
    block.version = kVersion;
    for (int picture = 0; picture < kJigsawPictures; ++picture)
        for (int i = 0; i < 3; ++i) {
            JigsawPieceRecord* record;
            do
                record =
                    &block
                         .pieces[picture * kJigsawPiecesPerPicture + theRandom->Get(kJigsawPiecesPerPicture)];
            while (record->owned);
            record->owned = 1;
            record->placed = 0;
            record->x = theRandom->GetFloatScaled(495.0f) - 15.0f;
            record->y = theRandom->GetFloatScaled(402.0f) - 15.0f;
        }
    return block;
}

void ProfileProgress::Sanitize()
{
    if (currentJigsaw >= kJigsawPictures)
        currentJigsaw = 0;
    for (JigsawPieceRecord& record : pieces) {
        record.owned = Flag(record.owned);
        record.placed = Flag(record.placed);
        KeepOnScreen(record);
    }
    for (uint8_t& shown : tutorialShown)
        shown = Flag(shown);
}

void ProfileProgress::KeepOnScreen(JigsawPieceRecord& record)
{
    record.x = IntoRange(record.x, kLooseMinX, kLooseMaxX);
    record.y = IntoRange(record.y, kLooseMinY, kLooseMaxY);
}

void ProfileProgress::RenumberPieces()
{
    for (int picture = 0; picture < kJigsawPictures; ++picture)
        for (int i = 0; i < kJigsawPiecesPerPicture; ++i) {
            pieces[picture * kJigsawPiecesPerPicture + i].pieceId = i;
            pieces[picture * kJigsawPiecesPerPicture + i].puzzleId = picture;
        }
}
