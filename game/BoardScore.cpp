// Processing matched lines and scoring them.
#include "game/Board.h"

#include "app/Math.h"
#include "app/Random.h"
#include "game/Anim_Floater.h"
#include "game/Anim_TextFloater.h"
#include "game/Game.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr int64_t kScoreMax = std::numeric_limits<int32_t>::max();

// Points are added up in 64 bits and kept within what a score field holds.
int32_t Saturate(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, -kScoreMax, kScoreMax));
}

void PlayPitched(Sound* sound, float pitch)
{
    if (sound != nullptr)
        sound->PlayPitched(pitch, 1.0f);
}

// The piece that becomes super: the youngest below 9999 ticks, the first on ties.
Quorb* YoungestPiece(const PieceGroup& group)
{
    Quorb* chosen = nullptr;
    for (Quorb* piece : group) {
        if (piece->age < 9999 && (chosen == nullptr || piece->age < chosen->age))
            chosen = piece;
    }
    return chosen;
}

} // namespace

void Board::ProcessMatches()
{
    if (IsPlaying() && levelType == LevelType::Matches && tickLoop.GetRequests() == 0)
        tickLoop.Start();

    std::vector<PieceGroup> groups;
    const bool found = FindMatches(&groups);
    const float pitch = 1.0f + 0.25f * static_cast<float>(cascadeLevel);
    if (!found) {
        if (swapFirst == nullptr)
            return;
        if (app != nullptr)
            app->sndSnap.Play(1.0f);
        Quorb* second = swapSecond;
        TrySwap(swapFirst, swapSecond);
        if (second != nullptr) {
            pieces.Remove(second);
            pieces.Add(second);
        }
        goalCheckPending = false;
    } else {
        refillPending = true;
        const int64_t level = game != nullptr ? game->level : 1;
        const int64_t base = (level + 4) * static_cast<int64_t>(groups.size()) * 2;
        int64_t total = 0;
        int counted = 0;
        Point sum;
        std::vector<Quorb*> hitSkulls;
        bool madeSuper = false;
        for (PieceGroup& group : groups) {
            total += static_cast<int64_t>(group.size()) * base;
            if (levelType == LevelType::Matches) {
                matchesLeft = std::max(matchesLeft - 1, 0);
                goalCheckPending = true;
            }
            for (Quorb* piece : group) {
                counted++;
                sum.x += piece->pos.x;
                sum.y += piece->pos.y;
                const Point sides[4] = {Point(0, -1), Point(-1, 0), Point(1, 0), Point(0, 1)};
                for (const Point& side : sides) {
                    Quorb* next = PieceAt(piece->pos.x + side.x * cellSize, piece->pos.y + side.y * cellSize);
                    if (next != nullptr && next->skull &&
                        std::find(hitSkulls.begin(), hitSkulls.end(), next) == hitSkulls.end())
                        hitSkulls.push_back(next);
                }
            }
            if (group.size() >= 5 && app != nullptr)
                app->sndZing.Play(1.0f);
            if (group.size() >= 4) {
                madeSuper = true;
                if (Quorb* chosen = YoungestPiece(group)) {
                    group.erase(std::find(group.begin(), group.end(), chosen));
                    chosen->MakeSuper();
                    MarkCell(chosen);
                    AddScorePopup(Saturate((level + 49) * 5), chosen->pos);
                    if (app != nullptr)
                        app->progress.superQuorbsCreated++;
                    popups.Add(new Anim_Floater(app != nullptr ? &app->sprPowerUp : nullptr,
                                                Point(chosen->pos.x, chosen->pos.y - cellSize)));
                    relaxPopups = true;
                }
                const int64_t n = static_cast<int64_t>(group.size());
                total += n * base;
                if (n > 4)
                    total += n * base;
                if (n > 5)
                    total += n * base;
                if (n > 6)
                    total += n * base;
                PressureReliefPerSuper();
            }
            for (Quorb* piece : group) {
                piece->Pop();
                OnPiecePopped(piece);
            }
        }
        const Point average(sum.x / static_cast<float>(counted), sum.y / static_cast<float>(counted));
        if (madeSuper)
            PlayPitched(app != nullptr ? &app->sndBonus : nullptr, pitch);
        PlayPitched(app != nullptr ? &app->sndMatch : nullptr, pitch);
        for (Quorb* skull : hitSkulls) {
            skull->Hit(1);
            OnSkullHit(skull);
        }
        if (groups.size() >= 2) {
            MultiMatchBonus(groups, average);
            total += 1000;
        }
        if (cascadeLevel > 0)
            CascadeBonus(average);
        pressureReliefTicks = 150;
        AddScorePopup(Saturate((static_cast<int64_t>(cascadeLevel) + 1) * total), average);
    }

    swapFirst = nullptr;
    swapSecond = nullptr;
    if (pressureOnMoves)
        RaisePressure();
    if (app != nullptr) {
        uint32_t& highest = app->progress.highestCascade;
        highest = std::max(highest, static_cast<uint32_t>(std::max(cascadeLevel, 0)));
    }
    cascadeLevel = std::min(cascadeLevel, kMaxCascade - 1) + 1;
    if (uncheckedRefillChance != -1.0f) {
        strictRefillHold--;
        if (strictRefillHold > 0) {
            strictRefill = true;
        } else {
            const float r = theRandom->GetFloat();
            strictRefill = r >= uncheckedRefillChance;
            strictRefillHold = 0;
        }
    }
}

void Board::AddScorePopup(int points, Point pos)
{
    if (demoMode)
        return;
    const int32_t p = game != nullptr ? game->ScoreMultiplier(points) : points;
    levelScore = Saturate(static_cast<int64_t>(levelScore) + p);
    Font* font = app != nullptr ? &app->fontArialBlack23 : nullptr;
    popups.Add(new Anim_TextFloater(font, String::StringFormat("%d", p), pos));
    relaxPopups = true;
}

void Board::QueueExplosion(Point pos)
{
    explosions.push_back(ExplosionRecord{pos, 25});
    const Point around[8] = {Point(0, -1),  Point(-1, 0), Point(1, 0),  Point(0, 1),
                             Point(-1, -1), Point(1, -1), Point(-1, 1), Point(1, 1)};
    for (const Point& offset : around) {
        Quorb* piece = PieceAt(pos.x + offset.x * cellSize, pos.y + offset.y * cellSize);
        if (piece != nullptr && piece->skull)
            piece->hitPoints = Math::AddSaturated(piece->hitPoints, 1);
    }
    movingCount++;
}

void Board::PressureReliefPerSuper()
{
    if (pressureOnMoves)
        pressure -= 5.0f * pressureRelief;
}
