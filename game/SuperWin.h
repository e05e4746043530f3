#pragma once
// The final win screen of a completed journey.

#include "app/Gadget.h"
#include "app/ObjectManager.h"
#include "app/Sprite.h"
#include "game/CelebrationFlash.h"

#include <cstdint>

class Game;
class QuorbSwapApp;
class SoundInstance;

class SuperWin : public Gadget
{
  public:
    explicit SuperWin(Game* game);
    ~SuperWin() override;

    void Update() override;
    void Draw() override;
    void MouseDown(int x, int y, int button) override { OnMouseDown(x, y, button); }

    // -1 for a coordinate picks a random one.
    void SpawnFireworks(float x, float y);
    void EnterHighScore();
    void OnMouseDown(int x, int y, int button);

    Game* game = nullptr;
    QuorbSwapApp* application = nullptr;
    float dim = 0.0f;
    Sprite topBanner;
    Sprite bottomBanner;
    Sprite spark;
    float scale = 0.0f;
    uint8_t intro = 1;
    CelebrationFlash flash;
    ObjectManager particles;
    int32_t ticksToBurst = 9999;
    SoundInstance* jingleVoice = nullptr;
    uint8_t jinglePlaying = 1;
    uint8_t clickEnabled = 0;
};
