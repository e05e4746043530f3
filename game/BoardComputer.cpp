// The computer opponent of duel levels.
#include "app/Random.h"
#include "game/Board.h"
#include "game/Game.h"

namespace
{
constexpr int32_t kWanderTicks = 100;
constexpr float kPointerMargin = 100.0f;
} // namespace

void Board::UpdateComputer()
{
    if (slideOffset.Length() > 0.0f) {
        return;
    }
    const Board* player = game ? game->board : nullptr;
    if (!player || player->readyOverlay || player->winOverlay || player->loseOverlay || movingCount > 0) {
        return;
    }
    aiCountdown -= 1;
    if (aiCountdown > 0) {
        aiWanderTimer -= 1;
        if (aiWanderTimer <= 0) {
            aiWanderTimer = kWanderTicks;
            const float x = theRandom->GetFloatScaled(rect.w - 2.0f * kPointerMargin);
            const float y = theRandom->GetFloatScaled(rect.h - 2.0f * kPointerMargin);
            aiPointer = Point(x + kPointerMargin, y + kPointerMargin);
        }
        return;
    }
    aiPointer = Point(9999.0f, 9999.0f);
    aiCountdown = aiThinkTime + theRandom->Get(aiThinkTime / 2, true);
    Point pos;
    Point dir;
    if (!FindPossibleMove(&pos, &dir)) {
        return;
    }
    Quorb* first = PieceAtPoint(pos);
    Quorb* second = PieceAtPoint(Point(pos.x + cellSize * dir.x, pos.y + cellSize * dir.y));
    if (first && second) {
        cascadeLevel = 0;
        TrySwap(first, second);
    }
}
