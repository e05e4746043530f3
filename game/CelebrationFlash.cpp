#include "game/CelebrationFlash.h"

#include <algorithm>

namespace {
constexpr float kFadeStep = 0.075f;
} // namespace

void CelebrationFlash::Update()
{
    alpha = std::max(alpha - kFadeStep, 0.0f);
    updatesSinceRaise = std::min(updatesSinceRaise + 1, kUpdatesBetweenFlashes);
}

void CelebrationFlash::Raise()
{
    if (updatesSinceRaise < kUpdatesBetweenFlashes)
        return;
    alpha = 1.0f;
    updatesSinceRaise = 0;
}

void CelebrationFlash::Resume(float savedAlpha)
{
    alpha = savedAlpha;
    updatesSinceRaise = 0;
}
