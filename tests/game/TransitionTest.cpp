// The screen-switch transition, stepped by hand: when it switches, when it
// ends, and which transition the application's slot names.
#include "game/Transition.h"

#include "app/Random.h"
#include "game/QuorbSwapApp.h"
#include "support/TemporaryDesktop.h"

#include <gtest/gtest.h>

namespace {

class TransitionSteps : public testing::Test
{
  protected:
    void SetUp() override { theRandom->Seed(5); }

    TemporaryDesktop desktop;
    QuorbSwapApp app;
};

} // namespace

TEST_F(TransitionSteps, SwitchesOnUpdate44AndEndsOnUpdate98)
{
    // A game-less target does nothing at the midpoint; the timing is the same.
    auto* transition = new Transition(&app, TransitionTarget::StartLevel);
    EXPECT_EQ(app.transition, transition);
    EXPECT_LT(transition->kind, 8);
    EXPECT_GE(std::abs(transition->spin), 1.75f);
    EXPECT_LE(std::abs(transition->spin), 2.25f);
    int switchedAt = 0;
    int killedAt = 0;
    for (int update = 1; update <= 200 && killedAt == 0; ++update) {
        transition->Update();
        if (!transition->growing && switchedAt == 0) {
            switchedAt = update;
            EXPECT_GT(transition->scale, 7.0f);
            EXPECT_FLOAT_EQ(transition->flash, 1.0f);
        }
        if (transition->killed)
            killedAt = update;
    }
    EXPECT_EQ(switchedAt, 44);
    EXPECT_EQ(killedAt, 98);
    EXPECT_FLOAT_EQ(transition->flash, 0.0f);
    delete transition;
    EXPECT_EQ(app.transition, nullptr);
}

TEST_F(TransitionSteps, AfterALostLevelTheNextOneShowsTheSkullOnce)
{
    app.specialTransition = true;
    auto* skull = new Transition(&app, TransitionTarget::ShowMap);
    EXPECT_EQ(skull->kind, 8);
    EXPECT_FALSE(app.specialTransition);
    auto* normal = new Transition(&app, TransitionTarget::ShowMap);
    EXPECT_LT(normal->kind, 8);
    // The older one going must not clear the slot that names the newer one.
    delete skull;
    EXPECT_EQ(app.transition, normal);
    delete normal;
    EXPECT_EQ(app.transition, nullptr);
}
