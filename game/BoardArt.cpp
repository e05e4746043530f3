// Piece art scaled to the cell size and the collect icons.
#include "app/Image.h"
#include "game/Board.h"
#include "game/QuorbSwapApp.h"

#include <cmath>

namespace {

// A square copy of the image, side pixels wide, as the sprite's picture.
void SetScaled(Sprite& sprite, Image& image, int side)
{
    if (!image.HasPixels() || side < 1) {
        return;
    }
    Image scaled;
    image.Resample(side, side, &scaled);
    sprite.SetImage(&scaled);
}

// The image at its own size times factor, rounded to the nearest pixel.
void SetScaledBy(Sprite& sprite, Image& image, float factor)
{
    if (!image.HasPixels()) {
        return;
    }
    const int w = int(std::lround(float(image.mWidth) * factor));
    const int h = int(std::lround(float(image.mHeight) * factor));
    if (w < 1 || h < 1) {
        return;
    }
    Image scaled;
    image.Resample(w, h, &scaled);
    sprite.SetImage(&scaled);
}

int Round(float pixels)
{
    return int(std::lround(pixels));
}

} // namespace

// The sprites are the application's, shared by every board: the last board
// prepared sets the size for all.
void Board::PreparePieceArt()
{
    pieceScale = cellSize / 256.0f;
    if (app == nullptr) {
        return;
    }
    const int pieceSide = Round(0.8f * cellSize);
    for (int slot = 0; slot < kPieceArtSlots; ++slot) {
        const int variants = slot == kSkullArtSlot ? 3 : 2;
        for (int v = 0; v < variants; ++v) {
            const int i = slot * kPieceVariants + v;
            SetScaled(app->boardPieceSprites[i], app->pieceImages[i], pieceSide);
        }
    }
    SetScaled(app->sprHintArrow, app->imageHintArrow, Round(cellSize));
    SetScaledBy(app->sprChip, app->imageChip, 2.0f * pieceScale);
    SetScaledBy(app->sprSmoke, app->imageSmoke, 2.0f * pieceScale);
    SetScaled(app->sprSkullCrack, app->imageSkullCrack, pieceSide);
    SetScaled(app->sprGoldBrick, app->imageGoldBrick, Round(cellSize));
}

void Board::PrepareCollectIcons()
{
    if (app == nullptr) {
        return;
    }
    for (int slot = 0; slot < 4 && collectKinds[slot] != -1; ++slot) {
        const int kind = collectKinds[slot];
        if (kind < 0 || kind >= kPieceArtSlots) {
            continue;
        }
        SetScaled(collectIcons[slot], app->pieceImages[kind * kPieceVariants], 66);
    }
}
