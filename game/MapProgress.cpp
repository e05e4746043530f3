// Journey progress over the map: clicks on squares, won squares flipping and
// unlocking their neighbours, items flying in, the tip marker and the end of
// the journey.
#include "app/List.h"
#include "app/Math.h"
#include "app/Random.h"
#include "app/Sound.h"
#include "game/Anim_Bonus.h"
#include "game/Anim_Puzzle.h"
#include "game/Game.h"
#include "game/Map.h"
#include "game/QuorbSwapApp.h"
#include "game/SuperWin.h"

#include <algorithm>
#include <vector>

namespace {

constexpr float kItemScale = 0.3f;
// The first unlock flip follows the won flip after this many updates.
constexpr int kUnlockLead = 75;

int FirstFreeSlot(const Game& game)
{
    for (int i = 0; i < kPowerSlotCount; ++i)
        if (game.powerSlots[i] == kNoPower)
            return i;
    return kPowerSlotCount;
}

// A loose piece lands somewhere on the jigsaw page.
void TakePiece(JigsawPieceRecord& record)
{
    record.owned = 1;
    record.placed = 0;
    record.x = theRandom->GetFloatScaled(495.0f) - 15.0f;
    record.y = theRandom->GetFloatScaled(402.0f) - 15.0f;
}

} // namespace

bool Map::AcceptsClicks() const
{
    // Flips, a transition, rewards in flight or a pending journey end would
    // otherwise start two levels or pay the goal twice.
    return revealQueue.empty() && items.Count() == 0 && !journeyEndPending &&
           (app == nullptr || app->transition == nullptr);
}

void Map::OnMouseDown(int /*x*/, int /*y*/, int /*button*/)
{
    ResetTooltip();
    if (!AcceptsClicks() || !InMap(hoverX, hoverY))
        return;
    const int x = hoverX;
    const int y = hoverY;
    MapSquare& square = Square(x, y);
    if (square.locked || square.won)
        return;
    PlaySound(AppSound(&QuorbSwapApp::sndClick), 1.25f);
    chosen = true;
    game->squareX = x;
    game->squareY = y;
    if (square.isGoal) {
        EndJourney(x, y);
    } else if (square.type == kJigsawSquare) {
        CollectPiece(x, y);
    } else if (square.type == kBonusSquare) {
        CollectBonus(x, y);
    } else {
        game->levelType = LevelType(square.type);
        game->mapDifficulty = int32_t(square.difficulty * 100.0f);
        game->StartLevel(true);
    }
}

void Map::CollectPiece(int x, int y)
{
    const MapSquare& square = Square(x, y);
    CompleteSquare(x, y, 0);
    auto* flying = new Anim_Puzzle(this, this);
    flying->x = kLeft + kColumnPitch * float(x);
    flying->y = kTop + kRowPitch * float(y);
    flying->size = kItemScale;
    flying->sprite = PieceSprite(square.item, square.piece);
    items.Add(flying);
    if (progress == nullptr)
        return;
    progress->currentJigsaw = uint32_t(square.item);
    TakePiece(progress->pieces[square.item * kJigsawPiecesPerPicture + square.piece]);
    if (app != nullptr)
        app->SaveConfig();
}

void Map::CollectBonus(int x, int y)
{
    const MapSquare& square = Square(x, y);
    CompleteSquare(x, y, 0);
    if (progress != nullptr)
        ++progress->bonusItemsCollected;
    auto* flying = new Anim_Bonus(this, this);
    flying->x = kLeft + kColumnPitch * float(x);
    flying->y = kTop + kRowPitch * float(y);
    flying->sprite = stripBonusCoins.GetFrame(square.item);
    flying->size = kItemScale;
    items.Add(flying);
    lastBonusKind = square.item;
    flying->targetX = 742.0f;
    flying->targetY = 310.0f - 56.0f * float(FirstFreeSlot(*game));
}

void Map::EndJourney(int x, int y)
{
    const int pieces = 2 * game->CountPowerSlots(int(PowerKind::ExtraPieces)) + 3;
    const float a0 = theRandom->GetFloatScaled(360.0f);
    const float step = 360.0f / float(pieces);
    std::vector<JigsawPieceRecord*> unowned;
    if (progress != nullptr)
        for (JigsawPieceRecord& record : progress->pieces)
            if (record.owned == 0)
                unowned.push_back(&record);
    for (int i = 0; i < pieces && !unowned.empty(); ++i) {
        const int r = theRandom->Get(int32_t(unowned.size()));
        JigsawPieceRecord* record = unowned[r];
        unowned.erase(unowned.begin() + r);
        Point ring;
        Math::AngleToVector(a0 + float(i) * step, ring);
        auto* flying = new Anim_Puzzle(this, this);
        flying->x = kColumnPitch * float(x) + 75.0f * ring.x + kLeft;
        flying->y = kRowPitch * float(y) + 75.0f * ring.y + kTop;
        flying->size = kItemScale;
        flying->sprite = PieceSprite(int(record->puzzleId), int(record->pieceId));
        items.Add(flying);
        progress->currentJigsaw = record->puzzleId;
        TakePiece(*record);
    }
    if (app != nullptr)
        app->SaveConfig();
    journeyEndPending = true;
    ForgetHover();
}

bool Map::JourneyEnding() const
{
    return journeyEndPending || (app != nullptr && app->superWin != nullptr);
}

void Map::AppendStep(int x, int y, bool markWon, bool unlock, int delay)
{
    RevealStep step;
    step.x = x;
    step.y = y;
    step.markWon = markWon;
    step.unlock = unlock;
    step.flipX = theRandom->Get(2) == 1;
    step.delay = delay;
    revealQueue.push_back(step);
}

void Map::CompleteSquare(int x, int y, int delay)
{
    // The coordinates may come from a saved game.
    if (!InMap(x, y))
        return;
    if (progress != nullptr)
        ++progress->journeyLevelsWon;
    chosen = false;
    ForgetHover();
    game->level = Math::AddSaturated(game->level, 1);
    if (progress != nullptr)
        progress->highestJourneyLevel = std::max(progress->highestJourneyLevel, uint32_t(std::max(game->level, 0)));
    AppendStep(x, y, true, false, delay);
    if (Square(x, y).type >= 8)
        return;
    int neighbours[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    List order;
    for (auto& offset : neighbours)
        order.Add(offset);
    order.Shuffle();
    int t = delay + kUnlockLead;
    for (int i = 0; i < order.Count(); ++i) {
        const int* offset = static_cast<const int*>(order.Get(i));
        QueueReveal(x + offset[0], y + offset[1], t);
        t += theRandom->Get(5) + 5;
    }
}

void Map::QueueReveal(int x, int y, int delay)
{
    if (!InMap(x, y) || Square(x, y).won || !Square(x, y).locked)
        return;
    if (progress != nullptr)
        ++progress->journeyLevelsUnlocked;
    AppendStep(x, y, false, true, delay);
}

void Map::Update()
{
    for (float& flash : slotFlash)
        flash = std::max(flash - 0.01f, 0.0f);
    if (journeyEndPending && items.Count() == 0) {
        journeyEndPending = false;
        if (app != nullptr) {
            app->superWin = new SuperWin(game);
            app->rootGadgets.Add(app->superWin);
        }
    }
    puzzleFlash = std::max(puzzleFlash - 0.01f, 0.0f);
    items.Update();
    if ((game == nullptr || game->board == nullptr) && !revealQueue.empty()) {
        StepReveals();
        if (revealQueue.empty() && game != nullptr && game->level == 2)
            PointAtUnlockedSquare();
    }
    UpdateTooltip();
}

void Map::StepReveals()
{
    for (RevealStep& step : revealQueue) {
        // Drawn even when nothing can play it, so the sequence stays the same.
        const float pitch = step.delay == 1 ? 1.0f + theRandom->GetFloatScaled(0.1f) : 1.0f;
        if (step.delay == 1)
            PlaySound(AppSound(&QuorbSwapApp::sndBloop), pitch);
        --step.delay;
        if (step.delay > 0)
            continue;
        MapSquare& square = Square(step.x, step.y);
        if (step.phase == 0) {
            step.value -= 0.05f;
            if (step.value <= 0.0f) {
                step.value = 0.0f;
                step.phase = 1;
                if (step.markWon)
                    square.won = 1;
                if (step.unlock)
                    square.locked = 0;
            }
        } else {
            step.value += 0.075f;
            if (step.value >= 1.0f) {
                step.value = 1.0f;
                step.phase = 2;
            }
        }
        (step.flipX ? square.scaleX : square.scaleY) = step.value;
    }
    std::erase_if(revealQueue, [](const RevealStep& step) { return step.phase == 2; });
}

void Map::PointAtUnlockedSquare()
{
    float referenceX = 0.0f;
    if (tipX < 400.0f) {
        referenceX = 8.0f;
        tipSideOverride = -1.0f;
    } else {
        tipSideOverride = 0.0f;
    }
    int bestX = -1;
    int bestY = -1;
    float best = 0.0f;
    for (int x = 0; x < kMapSize; ++x)
        for (int y = 0; y < kMapSize; ++y) {
            if (Square(x, y).locked)
                continue;
            const float d = Math::Distance(float(x), float(y), referenceX, 4.0f);
            if (bestX < 0 || d < best) {
                best = d;
                bestX = x;
                bestY = y;
            }
        }
    if (bestX >= 0)
        MoveMarker(bestX, bestY, 2);
}

void Map::PlaceMarkerAtStart()
{
    // The map is shown again (or left for a level): no square stays chosen
    // or hovered, whether or not the last level was won.
    chosen = false;
    ForgetHover();
    tipNumber = 0;
    if (game == nullptr || game->level != 1)
        return;
    for (int x = 0; x < kMapSize; ++x)
        for (int y = 0; y < kMapSize; ++y)
            if (Square(x, y).isStart) {
                MoveMarker(x, y, 1);
                return;
            }
}

// The marker stands 120 px from its square, on the side towards the middle
// of the screen or the side the override asks; a side where it would cross
// the map's frame gives way to the other.
void Map::MoveMarker(int x, int y, int tip)
{
    tipNumber = tip;
    tipCaptionOffset = tip == 2 ? 10.0f : 25.0f;
    const float square = kLeft + kColumnPitch * float(x);
    tipY = 93.0f + kRowPitch * float(y);
    float facing = square >= 400.0f ? 1.0f : -1.0f;
    if (tipSideOverride != 0.0f)
        facing = tipSideOverride;
    if (!MarkerFits(square - facing * 120.0f, facing))
        facing = -facing;
    tipFacing = facing;
    tipX = square - facing * 120.0f;
    tipSideOverride = 0.0f;
}

// Arrow and caption, swaying, within the squares' area inside the frame.
bool Map::MarkerFits(float x, float facing) const
{
    const Sprite& caption = sprTips[std::clamp(tipNumber, 1, 2) - 1];
    const float arrowHalf = float(sprTipArrow.mWidth) / 2.0f + kTipSway;
    const float captionHalf = float(caption.mWidth) / 2.0f + kTipSway;
    const float captionX = x - tipCaptionOffset * facing;
    return x - arrowHalf >= kHoverLeft && x + arrowHalf <= kHoverLeft + kHoverWidth &&
           captionX - captionHalf >= kHoverLeft && captionX + captionHalf <= kHoverLeft + kHoverWidth;
}

void Map::OnPuzzleArrived()
{
    if (app != nullptr)
        app->sndGold.Play(1.0f);
    puzzleFlash = 1.0f;
}

void Map::OnBonusArrived()
{
    if (app != nullptr)
        app->sndGold.Play(1.0f);
    const int slot = FirstFreeSlot(*game);
    if (slot < kPowerSlotCount) {
        game->powerSlots[slot] = lastBonusKind;
        slotFlash[slot] = 1.0f;
    }
    // Points count even when every slot is full.
    if (lastBonusKind == int(PowerKind::Points5000))
        game->score = Math::AddSaturated(game->score, game->ScoreMultiplier(5000));
    else if (lastBonusKind == int(PowerKind::Points10000))
        game->score = Math::AddSaturated(game->score, game->ScoreMultiplier(10000));
}
