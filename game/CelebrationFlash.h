#pragma once
// The full-screen white flash of a celebration's firework bursts. It rises at
// most three times in any one second, the limit guidance on photosensitive
// seizures sets for a flash over a large area: a burst soon after the last
// flash brings none of its own.

#include <cstdint>

class CelebrationFlash
{
  public:
    // Fades the flash by one update.
    void Update();
    // At a burst: the flash rises to full strength if the rule allows it.
    void Raise();
    // A celebration brought back with a resumed game, at the strength it was
    // saved with. The screen the game comes back on flashes white as it
    // opens, so that counts as the last flash.
    void Resume(float savedAlpha);

    float alpha = 0.0f;

  private:
    // Four flashes this far apart span 102 updates, more than the 100 of a
    // second: no second can hold more than three.
    static constexpr int32_t kUpdatesBetweenFlashes = 34;

    // Counts no further than the rule needs; it starts there, so the first
    // burst always flashes.
    int32_t updatesSinceRaise = kUpdatesBetweenFlashes;
};
