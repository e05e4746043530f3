// Popped pieces, goal counters and bonus effects.
#include "app/Math.h"
#include "game/Anim_Floater.h"
#include "game/Anim_Sprite.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>

namespace
{
constexpr int kCascadeArtCount = 5;
// Marked cells keep the refill strict for the pass that marked them and the
// next three.
constexpr int32_t kStrictHoldAfterMark = 5;
} // namespace

void Board::OnPiecePopped(Quorb* piece)
{
    if (!piece->skull) {
        piecesMatched = Math::AddSaturated(piecesMatched, 1);
        if (ProfileProgress* progress = Progress()) {
            progress->quorbsPopped += 1;
        }
    }
    switch (levelType) {
    case LevelType::Meter:
    case LevelType::Drain:
    case LevelType::Duel:
        RaiseMeter();
        break;
    case LevelType::Collect: {
        if (piece->skull) {
            break;
        }
        bool wanted = false;
        for (int slot = 0; slot < 4; ++slot) {
            if (collectKinds[slot] != piece->kind) {
                continue;
            }
            wanted = true;
            if (collectCounts[slot] > 0) {
                collectCounts[slot] -= 1;
                if (collectCounts[slot] == 0 && app) {
                    app->sndGold.PlayPitched(1.0f);
                }
            }
            goalCheckPending = true;
        }
        if (!wanted) {
            RaisePressure();
        }
        break;
    }
    case LevelType::GoGold:
        MarkCell(piece);
        break;
    default:
        break;
    }
}

void Board::RaiseMeter()
{
    const float before = meterValue;
    meterValue = std::min(meterValue + 1.0f, meterMax);
    if (meterValue != meterMax) {
        return;
    }
    if (meterValue != before && app) {
        app->sndBell.PlayPitched(1.0f);
    }
    Board* player = game ? game->board : nullptr;
    if (!isComputer) {
        goalCheckPending = true;
    } else if (player && player != this) {
        // The computer's full meter is the player's loss.
        player->loseCheckPending = true;
        if (player->movingCount == 0) {
            player->movingCount += 1;
            player->PieceMoveDone();
        }
    }
}

void Board::MarkCell(Quorb* piece)
{
    const int size = static_cast<int>(cellSize);
    if (cellMarked.empty() || size < 1 || piece->pos.x < 0.0f || piece->pos.y < 0.0f) {
        return;
    }
    const int column = static_cast<int>(piece->pos.x) / size;
    const int row = static_cast<int>(piece->pos.y) / size;
    // A piece off the grid has no cell to mark.
    if (column >= gridWidth || row >= gridHeight) {
        return;
    }
    uint8_t& cell = cellMarked[static_cast<size_t>(row * gridWidth + column)];
    if (cell) {
        return;
    }
    if (app) {
        app->sndGold.PlayPitched(1.0f);
    }
    cell = 1;
    auto* brick = new Anim_Sprite();
    brick->sprite = app ? &app->sprGoldBrick : nullptr;
    brick->x = piece->pos.x;
    brick->y = piece->pos.y;
    brick->scaleChange = 0.025f;
    brick->fadeChange = -0.05f;
    effects.Add(brick);
    AddScorePopup(2 * CurrentLevel() + 8, piece->pos);
    goalCheckPending = true;
    strictRefillHold = kStrictHoldAfterMark;
}

void Board::OnSkullBroken(Quorb* piece)
{
    AddScorePopup(25 * (CurrentLevel() + 19), Point(piece->pos.x, piece->pos.y - cellSize));
    if (pressureOnMoves) {
        pressure = 0.0f;
    }
    goalCheckPending = true;
    if (ProfileProgress* progress = Progress()) {
        progress->grimbosBroken += 1;
    }
}

void Board::OnSkullHit(Quorb* piece)
{
    AddScorePopup(10 * (CurrentLevel() + 4), Point(piece->pos.x, piece->pos.y - cellSize));
    if (pressureOnMoves) {
        pressure = 0.0f;
    }
}

void Board::CascadeBonus(Point point)
{
    const int c = cascadeLevel;
    if (pressureOnMoves) {
        pressure -= static_cast<float>(c + 1) * pressureRelief;
    }
    const int art = std::clamp(c - 1, 0, kCascadeArtCount - 1);
    popups.Add(new Anim_Floater(app ? &app->sprMultiplier[art] : nullptr, point));
    relaxPopups = true;
}

void Board::MultiMatchBonus(const std::vector<PieceGroup>& groups, Point point)
{
    if (app) {
        app->sndFanfare[cascadeLevel > 0 ? 1 : 0].PlayPitched(1.0f);
    }
    if (pressureOnMoves) {
        pressure -= static_cast<float>(groups.size() + 1) * pressureRelief;
    }
    popups.Add(new Anim_Floater(app ? &app->sprCombo : nullptr, point));
    relaxPopups = true;
}
