// The particles' life rules, stepped tick by tick without drawing.
#include "game/Anim_Sprite.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Ticks until the particle kills itself, up to a limit.
int TicksToDeath(Anim_Sprite& p, int limit = 1000)
{
    for (int tick = 1; tick <= limit; ++tick) {
        p.Update();
        if (p.killed)
            return tick;
    }
    return -1;
}

} // namespace

TEST(Anim_SpriteTest, DiesByItsRules)
{
    struct Case
    {
        const char* what;
        std::function<void(Anim_Sprite&)> setUp;
        int ticks; // -1: still alive after 1000 ticks
    };
    const Case cases[] = {
        {"no change lives on", [](Anim_Sprite&) {}, -1},
        {"leaves the right edge",
         [](Anim_Sprite& p) {
             p.x = 990;
             p.vx = 5;
         },
         2}, // 995, then 1000: outside
        {"left edge is inside",
         [](Anim_Sprite& p) {
             p.x = -199;
             p.vx = -1;
         },
         2},
        {"leaves even with fade left",
         [](Anim_Sprite& p) {
             p.y = 799;
             p.vy = 1;
             p.fade = 50;
         },
         1},
        {"fades out", [](Anim_Sprite& p) { p.fadeChange = -0.25f; }, 4},
        {"fade factor", [](Anim_Sprite& p) { p.fadeFactor = 0; }, 1},
        {"scale factor 0", [](Anim_Sprite& p) { p.scaleFactor = 0; }, 1},
        {"shrinks", [](Anim_Sprite& p) { p.scaleChange = -0.5f; }, 2},
        {"accelerates out", [](Anim_Sprite& p) { p.accelY = 100; }, 4}, // 0, 100, 300, 600, 1000
    };
    for (const Case& c : cases) {
        Anim_Sprite p;
        p.x = 400;
        p.y = 300;
        c.setUp(p);
        EXPECT_EQ(TicksToDeath(p), c.ticks) << c.what;
    }
}

TEST(Anim_SpriteTest, MovesDampsSpinsAndChangesColourInOneTick)
{
    Anim_Sprite p;
    p.x = 10;
    p.vx = 4;
    p.accelX = 2;
    p.dampX = 0.5f;
    p.rotation = 10;
    p.spin = 20;
    p.spinFactor = 0.5f;
    p.r = 0.5f;
    p.dr = 0.1f;
    p.da = -0.25f;
    p.Update();
    EXPECT_FLOAT_EQ(p.x, 14);
    EXPECT_FLOAT_EQ(p.vx, 3); // (4 + 2) x 0.5
    EXPECT_FLOAT_EQ(p.rotation, 15);
    EXPECT_FLOAT_EQ(p.r, 0.6f);
    EXPECT_FLOAT_EQ(p.a, 0.75f);
    EXPECT_FALSE(p.killed);
}
