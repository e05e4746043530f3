#pragma once
// The level-up of a Casual or Speed game, with fireworks.

#include "app/Gadget.h"
#include "app/ObjectManager.h"
#include "app/Sprite.h"
#include "game/CelebrationFlash.h"

#include <cstdint>

class Board;
class IOBuffer;
class QuorbSwapApp;

class LevelupOverlay : public Gadget
{
  public:
    explicit LevelupOverlay(Board* board);
    ~LevelupOverlay() override;

    void Update() override;
    void Draw() override;

    // -1 for a coordinate picks a random one.
    void SpawnFireworks(float x, float y);
    void Save(IOBuffer& buffer);
    void Load(IOBuffer& buffer);

    Board* board = nullptr;
    QuorbSwapApp* app = nullptr;
    int32_t state = 0;
    float offset = 420.0f;
    int32_t holdTimer = 100;
    float dim = 0.0f;
    ObjectManager particles;
    int32_t ticksToBurst = 0;
    int32_t burstsLeft = 0;
    Sprite sprFirework;
    CelebrationFlash flash;
};
