#include "app/GadgetManager.h"

#include "app/Gadget.h"
#include "support/ManualClockApp.h"
#include "support/QueuedInput.h"
#include "support/RecordingGadget.h"
#include "support/StrayGadgets.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

namespace {
int deletions = 0;

class CountedGadget : public RecordingGadget
{
  public:
    using RecordingGadget::RecordingGadget;
    ~CountedGadget() override { ++deletions; }
};

class GadgetManagerTest : public testing::Test
{
  protected:
    void SetUp() override { deletions = 0; }

    CountedGadget* Add(float x, float y, float w, float h)
    {
        auto* gadget = new CountedGadget(x, y, w, h);
        app.rootGadgets.Add(gadget);
        return gadget;
    }

    void TearDown() override { app.rootGadgets.DeleteAll(); }

    ManualClockApp app;
    QueuedInput input{app};
};

TEST_F(GadgetManagerTest, TopmostHitsFirstAndAKilledOneIsDetachedThenDeleted)
{
    CountedGadget* below = Add(0, 0, 100, 100);
    CountedGadget* above = Add(50, 50, 100, 100);
    EXPECT_EQ(app.rootGadgets.HitTest(60, 60), above);
    above->Kill();
    // Killed gadgets never hit, even before their manager's next pass.
    EXPECT_EQ(app.rootGadgets.HitTest(60, 60), below);
    app.rootGadgets.Update();
    EXPECT_EQ(app.rootGadgets.Count(), 1);
    EXPECT_TRUE(above->disabled);
    EXPECT_EQ(deletions, 0);
    app.rootGadgets.Update();
    EXPECT_EQ(deletions, 1);
}

TEST_F(GadgetManagerTest, AKilledGadgetAddedAgainIsDeletedOnce)
{
    CountedGadget* gadget = Add(0, 0, 100, 100);
    gadget->Kill();
    app.rootGadgets.Update();
    app.rootGadgets.Add(gadget);
    EXPECT_EQ(app.rootGadgets.Count(), 0);
    app.rootGadgets.Update();
    app.rootGadgets.Update();
    EXPECT_EQ(deletions, 1);
}

TEST_F(GadgetManagerTest, TransparentGadgetsPassHitsThroughButHiddenAndDisabledBlock)
{
    CountedGadget* below = Add(0, 0, 100, 100);
    CountedGadget* above = Add(0, 0, 100, 100);
    above->inputTransparent = true;
    EXPECT_EQ(app.rootGadgets.HitTest(10, 10), below);
    above->inputTransparent = false;
    above->hidden = true;
    EXPECT_EQ(app.rootGadgets.HitTest(10, 10), above);
    above->hidden = false;
    above->disabled = true;
    EXPECT_EQ(app.rootGadgets.HitTest(10, 10), above);
}

TEST_F(GadgetManagerTest, DetachingAKilledParentDisablesTheWholeBranch)
{
    CountedGadget* parent = Add(0, 0, 200, 200);
    auto* child = new CountedGadget(10, 10, 50, 50);
    auto* grandchild = new CountedGadget(1, 1, 5, 5);
    parent->AddChild(child);
    child->AddChild(grandchild);
    app.MouseMove(5, 5);
    ASSERT_TRUE(parent->hovered);
    parent->Take();
    parent->Kill();
    app.rootGadgets.Update();
    EXPECT_EQ(parent->Take(), (std::vector<std::string>{"exit"}));
    EXPECT_TRUE(parent->disabled);
    EXPECT_TRUE(child->disabled);
    EXPECT_TRUE(grandchild->disabled);
    app.rootGadgets.Update();
    // The children's manager deletes only killed children.
    EXPECT_EQ(deletions, 1);
    delete child;
    delete grandchild;
}

TEST_F(GadgetManagerTest, AddingAPresentGadgetKeepsTheOrder)
{
    CountedGadget* first = Add(0, 0, 10, 10);
    CountedGadget* second = Add(0, 0, 10, 10);
    app.rootGadgets.Add(first);
    ASSERT_EQ(app.rootGadgets.Count(), 2);
    EXPECT_EQ(app.rootGadgets.Get(0), first);
    EXPECT_EQ(app.rootGadgets.Get(1), second);
}

TEST_F(GadgetManagerTest, RemovingTheGadgetUnderAHeldPressCancelsIt)
{
    CountedGadget* pressed = Add(0, 0, 100, 100);
    CountedGadget* other = Add(200, 200, 10, 10);
    app.MouseMove(10, 10);
    app.MouseDown(10, 10, -1);
    pressed->Take();
    app.rootGadgets.Remove(other);
    EXPECT_TRUE(pressed->Take().empty());
    EXPECT_EQ(app.buttonsDown, 1);
    app.rootGadgets.Remove(pressed);
    EXPECT_EQ(pressed->Take(), (std::vector<std::string>{"up -9999,-9999 -1", "exit"}));
    EXPECT_EQ(app.buttonsDown, 0);
    delete other;
    delete pressed;
}

TEST_F(GadgetManagerTest, ExclusiveKeepsOneGadgetUntilPurged)
{
    CountedGadget* a = Add(0, 0, 10, 10);
    CountedGadget* b = Add(0, 0, 10, 10);
    app.rootGadgets.SetExclusive(a);
    EXPECT_EQ(app.rootGadgets.Count(), 1);
    EXPECT_EQ(app.rootGadgets.HitTest(5, 5), a);
    b->Kill();
    app.rootGadgets.PurgeKilled();
    EXPECT_FALSE(app.rootGadgets.exclusive);
    EXPECT_EQ(app.rootGadgets.Count(), 1);
    EXPECT_EQ(deletions, 1);
}

// A panel with a button, over a screen, leaves while the button is pressed,
// hovered and focused, the pointer still: nothing holds either of them, and
// the next input goes to the screen now under the pointer.
TEST_F(GadgetManagerTest, AGadgetThatLeavesTheTreeIsHeldByNothingWithItsBranch)
{
    const struct
    {
        const char* how;
        std::function<void(Gadget& screen, Gadget& panel)> leave;
        bool panelLeftToUs;
    } cases[] = {
        {"killed",
         [this](Gadget&, Gadget& panel) {
             panel.Kill();
             app.rootGadgets.Update();
         },
         false},
        {"removed", [](Gadget& screen, Gadget& panel) { screen.RemoveChild(&panel); }, true},
        {"deleted, its button kept",
         [](Gadget& screen, Gadget& panel) {
             panel.Kill();
             screen.children->PurgeKilled();
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        CountedGadget* screen = Add(0, 0, 800, 600);
        auto* panel = new CountedGadget(0, 0, 800, 600);
        auto* button = new CountedGadget(100, 100, 50, 50);
        screen->AddChild(panel);
        panel->AddChild(button);
        // As if drawn already: a first update would refresh the pointer itself.
        for (Gadget* gadget : std::initializer_list<Gadget*>{screen, panel, button})
            gadget->initialised = true;
        input.Move(110, 110);
        input.Press(110, 110);
        button->TakeKeyFocus();
        button->TakeWheelFocus();
        ASSERT_EQ(app.captureGadget, button);
        ASSERT_EQ(GadgetManager::currentHover, button);
        c.leave(*screen, *panel);
        EXPECT_EQ(StrayGadgets(app), std::vector<std::string>{});
        EXPECT_FALSE(button->hovered);
        button->Take();
        screen->Take();
        input.Release(110, 110);
        input.Press(110, 110);
        input.Release(110, 110);
        EXPECT_TRUE(button->Take().empty());
        std::vector<std::string> got = screen->Take();
        EXPECT_TRUE(screen->hovered) << "found under the still pointer";
        ASSERT_GE(got.size(), 2u);
        EXPECT_EQ(std::vector<std::string>(got.end() - 2, got.end()),
                  (std::vector<std::string>{"down 110,110 -1", "up 110,110 -1"}));
        app.rootGadgets.Remove(screen);
        delete screen;
        if (c.panelLeftToUs)
            delete panel;
        delete button;
    }
}

// A gadget drawn before its first update, and so never refreshed by it,
// is entered under a pointer that has not moved before the next input.
TEST_F(GadgetManagerTest, AGadgetAddedUnderAStillPointerIsEnteredBeforeTheNextInput)
{
    CountedGadget* screen = Add(0, 0, 800, 600);
    input.Move(110, 110);
    CountedGadget* box = Add(100, 100, 50, 50);
    box->initialised = true;
    screen->Take();
    input.Press(110, 110);
    EXPECT_EQ(box->Take(), (std::vector<std::string>{"move 10,10", "enter", "down 10,10 -1"}));
    EXPECT_EQ(screen->Take(), (std::vector<std::string>{"exit"}));
}

TEST_F(GadgetManagerTest, HoverPairFollowsThePointerAcrossSiblings)
{
    CountedGadget* left = Add(0, 0, 50, 50);
    CountedGadget* right = Add(50, 0, 50, 50);
    app.MouseMove(10, 10);
    app.MouseMove(60, 10);
    EXPECT_EQ(left->Take(), (std::vector<std::string>{"move 10,10", "enter", "exit"}));
    EXPECT_EQ(right->Take(), (std::vector<std::string>{"move 10,10", "enter"}));
    EXPECT_EQ(app.hoverGadget, right);
}
} // namespace

// Two boards side by side, the left one's child straddling both: the child
// takes the press over the whole of itself, in its own coordinates; a
// disabled parent routes nothing, so its child's overhang takes nothing.
TEST_F(GadgetManagerTest, AChildIsHitBeyondItsParentsRectangleUnlessTheParentIsDisabled)
{
    CountedGadget* right = Add(400, 0, 400, 600);
    CountedGadget* left = Add(0, 0, 400, 600);
    auto* straddling = new CountedGadget(345, 560, 110, 40);
    left->AddChild(straddling);
    EXPECT_EQ(app.rootGadgets.HitTest(430, 580), left);
    EXPECT_EQ(app.rootGadgets.HitTest(460, 580), right);
    app.MouseDown(430, 580, -1);
    app.MouseUp(430, 580, -1);
    EXPECT_EQ(straddling->Take(), (std::vector<std::string>{"down 85,20 -1", "up 85,20 -1"}));
    EXPECT_TRUE(left->Take().empty());
    left->disabled = true;
    EXPECT_EQ(app.rootGadgets.HitTest(430, 580), right);
    EXPECT_EQ(app.rootGadgets.HitTest(380, 580), left);
    left->RemoveChild(straddling);
    delete straddling;
}
