#include "game/SwingingButtons.h"

#include "app/App.h"
#include "app/Button.h"
#include "app/Graphics.h"
#include "app/Sprite.h"

#include <cmath>
#include <numbers>

void SwingingButtons::Add(Button* button, Sprite* normal, Sprite* highlighted)
{
    entries.push_back({button, normal, highlighted});
}

bool SwingingButtons::IsRaised(const Entry& entry)
{
    return entry.button->hovered || entry.button->down;
}

void SwingingButtons::Draw(float highlightScale) const
{
    const int clock = theApp != nullptr ? theApp->updateCount : 0;
    const float angle = 5.0f * std::sin(static_cast<float>(clock) * std::numbers::pi_v<float> / 180.0f);
    for (const Entry& entry : entries) {
        if (!IsRaised(entry))
            DrawEntry(entry, angle, highlightScale);
    }
    for (const Entry& entry : entries) {
        if (IsRaised(entry))
            DrawEntry(entry, angle, highlightScale);
    }
}

void SwingingButtons::DrawEntry(const Entry& entry, float angle, float highlightScale)
{
    const Rect& r = entry.button->rect;
    const float cx = r.x + r.w * 0.5f;
    const float cy = r.y + r.h * 0.5f;
    if (!IsRaised(entry)) {
        entry.normal->DrawCentered(cx, cy);
        return;
    }
    entry.highlighted->DrawRotated(cx, cy, angle, highlightScale);
    if (entry.button->down) {
        theGraphics.SetColor(1, 1, 1, 0.5f);
        theGraphics.SetColorFill(true);
        entry.highlighted->DrawRotated(cx, cy, angle, highlightScale);
        theGraphics.SetColorFill(false);
        theGraphics.SetColorWhite();
    }
}
