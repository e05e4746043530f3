// Floaters and flying map items stepped without drawing.
#include "game/Anim_Floater.h"
#include "app/Gadget.h"
#include "app/Random.h"
#include "game/Anim_Bonus.h"
#include "game/Anim_Puzzle.h"
#include "game/Anim_TextFloater.h"

#include <gtest/gtest.h>

TEST(Anim_FloaterTest, PopsInRisesAndLivesAHundredTicks)
{
    theRandom->Seed(7);
    Anim_Floater f(nullptr, Point(100, 200));
    EXPECT_EQ(f.scale, 0.0f); // invisible before its first update
    EXPECT_GE(f.colorPhase, 0.0f);
    EXPECT_LE(f.colorPhase, 8.0f);
    int ticks = 0;
    while (!f.killed && ticks < 1000) {
        f.Update();
        ++ticks;
        EXPECT_LT(f.colorPhase, 8.0f);
        if (ticks == 10) {
            EXPECT_FLOAT_EQ(f.scale, 1.0f);
            EXPECT_FALSE(f.settling);
        }
    }
    EXPECT_NEAR(ticks, 100, 1); // 2.0 in float steps of 0.02
    EXPECT_NEAR(f.y, 190.0f, 0.2f);
}

TEST(Anim_FloaterTest, TextBoundsWithoutAFont)
{
    Anim_TextFloater t(nullptr, "250", Point(50, 60));
    t.halfWidth = 20;
    const Rect r = t.GetBounds();
    EXPECT_FLOAT_EQ(r.x, 30);
    EXPECT_FLOAT_EQ(r.w, 40);
    EXPECT_FLOAT_EQ(r.y, 70);
}

TEST(Anim_FloaterTest, PuzzlePieceFliesToTheIconThenShrinks)
{
    struct Case
    {
        const char* what;
        float size;
        Point start;
        int stateOneAfter; // updates until state 1
    };
    const Case cases[] = {
        {"already there", 1.0f, Point(743, 489), 1},
        {"grows first", 0.3f, Point(745, 489), 71},    // 0.3 + 70 x 0.01 falls just short of 1 in float
        {"30 pixels away", 1.0f, Point(745, 459), 10}, // at 30, 27, ..., 6 it moves on; at 3 it is there
    };
    for (const Case& c : cases) {
        Gadget source;
        {
            Anim_Puzzle p(&source, nullptr);
            EXPECT_TRUE(source.disabled);
            p.size = c.size;
            p.x = c.start.x;
            p.y = c.start.y;
            int ticks = 0;
            while (p.state == 0 && ticks < 1000) {
                p.Update();
                ++ticks;
            }
            EXPECT_EQ(ticks, c.stateOneAfter) << c.what;
            int shrink = 0;
            while (!p.killed && shrink < 100) {
                p.Update();
                ++shrink;
            }
            EXPECT_EQ(shrink, 34) << c.what; // 1.0 in steps of 0.03
        }
        EXPECT_FALSE(source.disabled) << c.what;
    }
}

TEST(Anim_FloaterTest, BonusFliesToItsTargetWithItsRotationWrapped)
{
    Anim_Bonus b(nullptr, nullptr);
    b.x = 100;
    b.y = 100;
    b.targetX = 742;
    b.targetY = 310;
    int ticks = 0;
    while (!b.killed && ticks < 2000) {
        b.Update();
        ++ticks;
        ASSERT_LT(b.rotation, 360.0f);
    }
    EXPECT_TRUE(b.killed);
    EXPECT_NEAR(b.x, 742, 5);
    EXPECT_NEAR(b.y, 310, 5);
}
