// The pressure meter and turning pieces into skulls.
#include "app/Random.h"
#include "game/Anim_Sprite.h"
#include "game/Board.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>

namespace
{
constexpr int kConversionTries = 1000;
// A Speed game's match takes back this many ticks of pressure.
constexpr float kReliefTicks = 150.0f;
} // namespace

void Board::RaisePressure()
{
    const float rise = cascadeLevel > 0 ? 0.0f : pressurePerMove;
    // A full meter converts on the move after it was seen full; that move's
    // rise is lost.
    if (pressure >= 95.0f && pressureShown >= 100.0f) {
        pressure = 0.0f;
        RunConversions();
        return;
    }
    pressure = std::clamp(pressure + rise, 0.0f, 100.0f);
    if (pressure >= 100.0f && pressureShown < 100.0f) {
        WarnPressure();
    }
}

void Board::UpdateSpeedPressure()
{
    if (!IsPlaying()) {
        return;
    }
    const float old = pressure;
    if (pressureReliefTicks > 0) {
        pressureReliefTicks = 0;
        pressure = std::max(pressure - pressurePerTick * kReliefTicks, 0.0f);
        pressureShown = pressure;
    }
    if (pressureShown <= pressure) {
        pressure += pressurePerTick;
    }
    pressure = std::clamp(pressure, 0.0f, 100.0f);
    if (pressure >= 75.0f && old < 75.0f) {
        WarnPressure();
    }
    if (pressureShown >= 100.0f) {
        pressure = 0.0f;
        RunConversions();
    }
}

void Board::RunConversions()
{
    // With no move on the board no conversion can be made (a skull never
    // makes one), and every try would search the whole board in vain: a
    // thousand of them on a full board take far longer than an update, on
    // every update of a loaded board like that. Their outcome is known: no
    // skull, and the loss check asked for by the first piece tried that is
    // not a skull already.
    if (!FindPossibleMove()) {
        loseCheckPending = loseCheckPending || (conversions > 0 && HasPieceOtherThanSkull());
        return;
    }
    for (int conversion = 0; conversion < conversions; ++conversion) {
        for (int tries = 0; tries < kConversionTries && pieces.Count() > 0; ++tries) {
            auto* piece = static_cast<Quorb*>(pieces.Get(theRandom->Get(pieces.Count())));
            if (piece->skull) {
                continue;
            }
            loseCheckPending = true;
            if (ConvertToSkull(piece)) {
                break;
            }
        }
    }
}

bool Board::HasPieceOtherThanSkull() const
{
    for (int i = 0; i < pieces.Count(); ++i) {
        if (!static_cast<const Quorb*>(pieces.Get(i))->skull) {
            return true;
        }
    }
    return false;
}

bool Board::ConvertToSkull(Quorb* piece)
{
    if (piece->flying || piece->killed || !piece->IsMatchable()) {
        return false;
    }
    // A conversion never leaves the player without a move.
    piece->skull = true;
    const bool moveLeft = FindPossibleMove();
    piece->skull = false;
    if (!moveLeft) {
        return false;
    }
    if (started) {
        piece->StartChange(0);
    } else {
        piece->StartFlyIn();
    }
    return true;
}

void Board::WarnPressure()
{
    if (app) {
        app->sndDanger.PlayPitched(1.0f);
    }
    auto* warning = new Anim_Sprite();
    const float meterHeight = app ? static_cast<float>(app->sprSkullMeter.mHeight) : 0.0f;
    warning->sprite = app ? &app->sprDanger : nullptr;
    warning->x = gridRect.w + 26.0f - 20.0f;
    warning->y = gridRect.h / 2.0f - meterHeight / 2.0f + 40.0f;
    warning->fade = 3.0f;
    warning->fadeChange = -0.02f;
    effects.Add(warning);
}
