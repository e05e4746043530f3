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

    // A full-window screen holding a panel holding one gadget.
    struct Branch
    {
        CountedGadget* screen;
        CountedGadget* panel;
        CountedGadget* leaf;
    };
    Branch AddBranch(const Rect& panel, const Rect& leaf)
    {
        Branch branch{Add(0, 0, 800, 600), new CountedGadget(panel.x, panel.y, panel.w, panel.h),
                      new CountedGadget(leaf.x, leaf.y, leaf.w, leaf.h)};
        branch.screen->AddChild(branch.panel);
        branch.panel->AddChild(branch.leaf);
        return branch;
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
        auto [screen, panel, button] = AddBranch(Rect(0, 0, 800, 600), Rect(100, 100, 50, 50));
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

// A knob pressed and dragged far out of its panel leaves the tree, with its
// panel or alone, before the release: its press ends there with its drag,
// the release then reaches nothing, and once back it takes the next press.
TEST_F(GadgetManagerTest, AGadgetThatLeavesMidDragGetsTheEndOfItsPress)
{
    const struct
    {
        const char* how;
        std::function<void(Gadget& screen, Gadget& panel, Gadget& knob)> leave, comeBack;
    } cases[] = {
        {"its panel removed", [](Gadget& screen, Gadget& panel, Gadget&) { screen.RemoveChild(&panel); },
         [](Gadget& screen, Gadget& panel, Gadget&) { screen.AddChild(&panel); }},
        {"removed alone", [](Gadget&, Gadget& panel, Gadget& knob) { panel.RemoveChild(&knob); },
         [](Gadget&, Gadget& panel, Gadget& knob) { panel.AddChild(&knob); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        auto [screen, panel, knob] = AddBranch(Rect(100, 100, 200, 200), Rect(10, 10, 20, 20));
        input.Move(120, 120);
        input.Press(120, 120);
        input.Move(600, 300);
        ASSERT_TRUE(knob->dragging);
        knob->Take();
        screen->Take();
        c.leave(*screen, *panel, *knob);
        std::vector<std::string> ended;
        for (const std::string& call : knob->Take())
            ended.push_back(call.substr(0, call.find(' ')));
        EXPECT_EQ(ended, (std::vector<std::string>{"dragend", "up"})) << "the drag never ended";
        EXPECT_FALSE(knob->dragging);
        EXPECT_EQ(StrayGadgets(app), std::vector<std::string>{});
        input.Release(600, 300);
        EXPECT_TRUE(knob->Take().empty());
        for (const std::string& call : screen->Take())
            EXPECT_NE(call.rfind("up", 0), 0u) << "a release for a press it never had: " << call;
        c.comeBack(*screen, *panel, *knob);
        input.Move(120, 120);
        input.Press(120, 120);
        input.Release(120, 120);
        std::vector<std::string> got = knob->Take();
        ASSERT_GE(got.size(), 2u) << "the next press is refused";
        EXPECT_EQ(std::vector<std::string>(got.end() - 2, got.end()),
                  (std::vector<std::string>{"down 10,10 -1", "up 10,10 -1"}))
            << "the next press is refused";
        app.rootGadgets.Remove(screen);
        delete screen;
        delete panel;
        delete knob;
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

// After gadgets came or went, only a free press or release looks afresh at
// what lies under the pointer. A key carries no point (it would read as the
// corner), and a held drag keeps the hover where its own moves left it.
TEST_F(GadgetManagerTest, OnlyAFreeButtonRefreshesAStalePointer)
{
    CountedGadget* corner = Add(0, 0, 50, 50);
    CountedGadget* knob = Add(100, 100, 20, 20);
    CountedGadget* beside = Add(300, 100, 50, 50);
    CountedGadget* leaving = Add(600, 500, 10, 10);
    knob->SetExclusiveDrag(true);
    input.Move(110, 110);
    input.Press(110, 110);
    input.Move(320, 120);
    app.rootGadgets.Remove(leaving);
    beside->Take();
    input.Release(320, 120);
    EXPECT_TRUE(beside->Take().empty()) << "the held press let the hover follow the pointer";
    input.Move(110, 110);
    corner->Take();
    app.rootGadgets.Add(leaving);
    app.rootGadgets.Remove(leaving);
    input.KeyDown('A');
    input.Char('a');
    EXPECT_TRUE(corner->Take().empty()) << "a key moved the pointer to its corner";
    EXPECT_EQ(app.mousePosition.x, 110.0f);
    EXPECT_EQ(app.mousePosition.y, 110.0f);
    delete leaving;
}

// A captured gadget deleted as it stands, its manager's pass over the
// killed or the whole set going, holds the capture no longer.
TEST_F(GadgetManagerTest, ADeletedGadgetHoldsNoCapture)
{
    const struct
    {
        const char* how;
        std::function<void(GadgetManager& root, Gadget& pressed)> remove;
    } cases[] = {
        {"killed and purged",
         [](GadgetManager& root, Gadget& pressed) {
             pressed.Kill();
             root.PurgeKilled();
         }},
        {"deleted with the rest", [](GadgetManager& root, Gadget&) { root.DeleteAll(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        CountedGadget* pressed = Add(0, 0, 100, 100);
        input.Move(10, 10);
        input.Press(10, 10);
        ASSERT_EQ(app.captureGadget, pressed);
        c.remove(app.rootGadgets, *pressed);
        EXPECT_EQ(app.captureGadget, nullptr);
        EXPECT_EQ(StrayGadgets(app), std::vector<std::string>{});
        input.Release(10, 10);
        app.rootGadgets.DeleteAll();
    }
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
