#pragma once
// One firework burst: a ring of sparks of one random colour, as the level-up
// banner and the final win screen throw them.

#include <cstdint>

class ObjectManager;
class Sound;
class Sprite;

namespace Fireworks {
// -1 for a coordinate picks a random one. Returns the ticks to the next
// burst, base + random(range), drawn before the burst's sound plays.
// No sound plays without one.
int32_t Burst(ObjectManager& particles, Sprite* spark, Sound* sound, float x, float y, int32_t range, int32_t base);
} // namespace Fireworks
