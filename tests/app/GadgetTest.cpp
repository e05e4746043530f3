#include "app/Gadget.h"

#include "app/App.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "platform/Window.h"
#include "support/ManualClockApp.h"
#include "support/RecordingGadget.h"
#include "support/SdlEventInjector.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
namespace Msg = Platform::Message;
using Log = std::vector<std::string>;

// Mouse and key messages go the whole way: queued as the window procedure
// queues them, replayed as an update replays them, hit-tested through the
// tree of recording gadgets.
class GadgetInput : public testing::Test
{
  protected:
    void Send(uint32_t message, int x, int y)
    {
        app.QueueMessage(nullptr, message, 0, Platform::PackPoint(x, y));
        app.ProcessInputQueue();
    }

    void SendKey(uint32_t message, uint32_t code)
    {
        app.QueueMessage(nullptr, message, code, 0);
        app.ProcessInputQueue();
    }

    RecordingGadget* AddRoot(float x, float y, float w, float h)
    {
        auto* gadget = new RecordingGadget(x, y, w, h);
        app.rootGadgets.Add(gadget);
        return gadget;
    }

    // Posted messages need a window to come back through.
    void OpenWindow()
    {
        app.window = std::make_unique<Platform::Window>();
        ASSERT_TRUE(app.window->Create("gadgets", 0, 0, 800, 600));
        app.PumpMessages();
        app.active = true;
    }

    void TearDown() override { app.rootGadgets.DeleteAll(); }

    ManualClockApp app;
};

TEST_F(GadgetInput, PressGoesToTheTopmostGadgetInItsOwnCoordinates)
{
    RecordingGadget* below = AddRoot(0, 0, 100, 100);
    RecordingGadget* above = AddRoot(50, 50, 100, 100);
    Send(Msg::LeftButtonDown, 60, 60);
    EXPECT_EQ(above->Take(), (Log{"down 10,10 -1"}));
    EXPECT_TRUE(below->Take().empty());
    EXPECT_EQ(app.captureGadget, above);
}

TEST_F(GadgetInput, ChildrenGetTheCallBeforeTheirParent)
{
    RecordingGadget* parent = AddRoot(100, 100, 200, 200);
    auto* child = new RecordingGadget(10, 10, 50, 50);
    parent->AddChild(child);
    Send(Msg::LeftButtonDown, 115, 117);
    EXPECT_EQ(child->Take(), (Log{"down 5,7 -1"}));
    EXPECT_TRUE(parent->Take().empty());
    Send(Msg::LeftButtonUp, 115, 117);
    // The release comes in the child's own coordinates from its absolute place.
    EXPECT_EQ(child->Take(), (Log{"up 5,7 -1"}));
    child->Kill(); // deleted with its parent
}

TEST_F(GadgetInput, CaptureHoldsUntilReleaseEvenOutsideTheGadget)
{
    RecordingGadget* pressed = AddRoot(0, 0, 50, 50);
    RecordingGadget* other = AddRoot(200, 200, 100, 100);
    Send(Msg::LeftButtonDown, 10, 10);
    Send(Msg::MouseMove, 250, 250);
    Send(Msg::LeftButtonUp, 250, 250);
    EXPECT_EQ(pressed->Take(), (Log{"down 10,10 -1", "dragstart 250,250", "drag 250,250", "dragend 250,250",
                                    "up 250,250 -1"}));
    // Hover follows the pointer during the drag, but no press or release.
    for (const std::string& entry : other->Take())
        EXPECT_TRUE(entry == "move 50,50" || entry == "enter") << entry;
    EXPECT_EQ(app.captureGadget, nullptr);
    EXPECT_EQ(app.buttonsDown, 0);
}

TEST_F(GadgetInput, DragStartsOnlyPastTwoUnits)
{
    RecordingGadget* gadget = AddRoot(0, 0, 100, 100);
    // Exclusive, so the pointer's hover moves do not mix into the log.
    gadget->SetExclusiveDrag(true);
    Send(Msg::LeftButtonDown, 10, 10);
    Send(Msg::MouseMove, 12, 10);
    EXPECT_EQ(gadget->Take(), (Log{"down 10,10 -1"}));
    Send(Msg::MouseMove, 12, 11);
    EXPECT_EQ(gadget->Take(), (Log{"dragstart 12,11", "drag 12,11"}));
    Send(Msg::MouseMove, 30, 30);
    EXPECT_EQ(gadget->Take(), (Log{"drag 30,30"}));
    // A second left press while dragging is ignored entirely.
    Send(Msg::LeftButtonDown, 30, 30);
    EXPECT_TRUE(gadget->Take().empty());
}

TEST_F(GadgetInput, DoubleClickReachesItsOwnHandler)
{
    RecordingGadget* gadget = AddRoot(0, 0, 100, 100);
    Send(Msg::LeftButtonDown, 5, 5);
    Send(Msg::LeftButtonUp, 5, 5);
    Send(Msg::LeftButtonDoubleClick, 5, 5);
    Send(Msg::LeftButtonUp, 5, 5);
    EXPECT_EQ(gadget->Take(), (Log{"down 5,5 -1", "up 5,5 -1", "double 5,5 -1", "up 5,5 -1"}));
    EXPECT_EQ(app.buttonsDown, 0);
}

TEST_F(GadgetInput, RefusedDragEndsWithAReleaseFarAway)
{
    OpenWindow();
    RecordingGadget* gadget = AddRoot(20, 20, 100, 100);
    gadget->refuseDrag = true;
    gadget->SetExclusiveDrag(true);
    Send(Msg::LeftButtonDown, 30, 30);
    Send(Msg::MouseMove, 40, 40);
    EXPECT_EQ(gadget->Take(), (Log{"down 10,10 -1", "dragstart 20,20"}));
    // The synthetic release comes back through the window's messages.
    app.PumpMessages();
    app.ProcessInputQueue();
    EXPECT_EQ(gadget->Take(), (Log{"up -10019,-10019 -1"}));
    EXPECT_EQ(app.captureGadget, nullptr);
    EXPECT_EQ(app.buttonsDown, 0);
    // The real release that follows is one without a press.
    Send(Msg::LeftButtonUp, 40, 40);
    EXPECT_EQ(app.buttonsDown, 0);
}

TEST_F(GadgetInput, RightReleaseDuringALeftDragGoesToTheCapture)
{
    RecordingGadget* gadget = AddRoot(0, 0, 100, 100);
    RecordingGadget* other = AddRoot(300, 300, 50, 50);
    Send(Msg::LeftButtonDown, 10, 10);
    Send(Msg::MouseMove, 20, 20);
    Send(Msg::RightButtonDown, 310, 310);
    Send(Msg::RightButtonUp, 310, 310);
    Log log = gadget->Take();
    EXPECT_EQ(log.back(), "up 310,310 1");
    EXPECT_EQ(app.captureGadget, gadget);
    EXPECT_EQ(other->Take(), (Log{"down 10,10 1"}));
}

TEST_F(GadgetInput, CancelDuringADragReleasesFarAwayWithoutListenerEvents)
{
    struct Reporter : RecordingGadget
    {
        using RecordingGadget::RecordingGadget;
        void MouseUp(int x, int y, int button) override
        {
            RecordingGadget::MouseUp(x, y, button);
            OnGadgetEvent(this);
        }
    };
    auto* gadget = new Reporter(0, 0, 100, 100);
    app.rootGadgets.Add(gadget);
    Send(Msg::LeftButtonDown, 10, 10);
    Send(Msg::MouseMove, 20, 20);
    gadget->Take();
    app.CancelMouse();
    EXPECT_EQ(gadget->Take(), (Log{"dragend -9999,-9999", "up -9999,-9999 -1"}));
    EXPECT_EQ(app.buttonsDown, 0);
    EXPECT_EQ(app.captureGadget, nullptr);
    // Outside a cancel the listener hears of it.
    Send(Msg::LeftButtonDown, 10, 10);
    Send(Msg::LeftButtonUp, 10, 10);
    EXPECT_EQ(gadget->Take(), (Log{"down 10,10 -1", "up 10,10 -1", "notify"}));
}

TEST_F(GadgetInput, HoverEntersAndExitsAndNowhereEndsIt)
{
    RecordingGadget* gadget = AddRoot(0, 0, 100, 100);
    Send(Msg::MouseMove, 10, 10);
    EXPECT_EQ(gadget->Take(), (Log{"move 10,10", "enter"}));
    EXPECT_TRUE(gadget->hovered);
    EXPECT_EQ(app.hoverGadget, gadget);
    app.MouseMove(App::kNowhere, App::kNowhere);
    EXPECT_EQ(gadget->Take(), (Log{"exit"}));
    EXPECT_FALSE(gadget->hovered);
    EXPECT_EQ(app.hoverGadget, nullptr);
}

TEST_F(GadgetInput, KeysGoToTheKeyFocusOnly)
{
    RecordingGadget* focused = AddRoot(0, 0, 100, 100);
    RecordingGadget* other = AddRoot(0, 0, 100, 100);
    SendKey(Msg::KeyDown, 'A');
    EXPECT_TRUE(focused->Take().empty());
    focused->TakeKeyFocus();
    SendKey(Msg::KeyDown, 'A');
    SendKey(Msg::Char, 'a');
    SendKey(Msg::KeyUp, 'A');
    EXPECT_EQ(focused->Take(), (Log{"key 65", "char 97", "keyup 65"}));
    EXPECT_TRUE(other->Take().empty());
    other->disabled = true;
    other->TakeKeyFocus();
    EXPECT_EQ(app.keyFocusGadget, focused);
    focused->Kill();
    SendKey(Msg::KeyDown, 'B');
    EXPECT_TRUE(focused->Take().empty());
}

TEST_F(GadgetInput, WheelGoesToTheWheelFocusNotTheGadgetUnderThePointer)
{
    RecordingGadget* under = AddRoot(0, 0, 100, 100);
    RecordingGadget* focused = AddRoot(200, 200, 10, 10);
    Send(Msg::MouseMove, 10, 10);
    under->Take();
    app.QueueMessage(nullptr, Msg::MouseWheel, static_cast<uint32_t>(-120) << 16,
                     Platform::PackPoint(10, 10));
    app.ProcessInputQueue();
    EXPECT_TRUE(under->Take().empty());
    focused->TakeWheelFocus();
    app.QueueMessage(nullptr, Msg::MouseWheel, static_cast<uint32_t>(-120) << 16,
                     Platform::PackPoint(10, 10));
    app.ProcessInputQueue();
    EXPECT_EQ(focused->Take(), (Log{"wheel -120"}));
}

TEST_F(GadgetInput, WindowPixelsAreDividedByTheDisplayScale)
{
    theGraphics.mScaleX = 2.0f;
    theGraphics.mScaleY = 2.0f;
    RecordingGadget* gadget = AddRoot(100, 50, 100, 100);
    Send(Msg::LeftButtonDown, 300, 200);
    theGraphics.mScaleX = 1.0f;
    theGraphics.mScaleY = 1.0f;
    EXPECT_EQ(gadget->Take(), (Log{"down 50,50 -1"}));
}

TEST_F(GadgetInput, ClickOnAnInactiveWindowOnlyActivatesIt)
{
    RecordingGadget* gadget = AddRoot(0, 0, 100, 100);
    app.active = false;
    app.WindowProc(nullptr, Msg::LeftButtonDown, 0, Platform::PackPoint(10, 10));
    app.ProcessInputQueue();
    EXPECT_TRUE(app.active);
    EXPECT_TRUE(gadget->Take().empty());
    // Activation asks the (never started) graphics device to recover.
    theGraphics.mRecoverPending = false;
}

TEST_F(GadgetInput, PointerLeavingTheWindowEndsTheHoverWithinTenTicks)
{
    OpenWindow();
    RecordingGadget* gadget = AddRoot(0, 0, 100, 100);
    SdlEventInjector::MouseMotion(10, 10);
    app.PumpMessages();
    app.DoUpdate();
    ASSERT_TRUE(gadget->hovered);
    SdlEventInjector::Window(SdlEventInjector::WindowChange::PointerLeft);
    app.PumpMessages();
    for (int tick = 0; tick < 10; ++tick)
        app.DoUpdate();
    EXPECT_FALSE(gadget->hovered);
    EXPECT_EQ(gadget->Take().back(), "exit");
}

TEST_F(GadgetInput, PumpingForAPeriodHandlesWaitingMessages)
{
    OpenWindow();
    app.inputQueue.clear();
    app.window->PostMessage(Msg::KeyDown, 'A', 0);
    uint32_t start = app.now;
    app.PumpMessagesFor(20);
    ASSERT_EQ(app.inputQueue.size(), 1u);
    EXPECT_EQ(app.inputQueue.front().wParam, uint32_t('A'));
    EXPECT_GE(app.now - start, 20u);
}

TEST_F(GadgetInput, NewGadgetUnderAHeldPressCancelsIt)
{
    RecordingGadget* pressed = AddRoot(0, 0, 100, 100);
    Send(Msg::LeftButtonDown, 10, 10);
    pressed->Take();
    RecordingGadget* dialog = AddRoot(0, 0, 300, 300);
    EXPECT_EQ(pressed->Take(), (Log{"up -9999,-9999 -1"}));
    EXPECT_EQ(app.buttonsDown, 0);
    EXPECT_TRUE(dialog->Take().empty());
}

// Hit shapes.
TEST(GadgetHit, CircleHitsWithinItsRadiusOnly)
{
    Gadget gadget;
    gadget.SetHitCircle(50, 50, 10);
    EXPECT_TRUE(gadget.HitTest(59, 50));
    EXPECT_FALSE(gadget.HitTest(58, 58));
    EXPECT_FALSE(gadget.HitTest(61, 50));
}

TEST(GadgetHit, ImageAlphaAboveTheThresholdHits)
{
    Image image;
    image.Create(4, 1, true);
    *image.GetPixelPtr(0, 0) = 64u << 24;
    *image.GetPixelPtr(1, 0) = 63u << 24;
    *image.GetPixelPtr(2, 0) = 128u << 24;
    *image.GetPixelPtr(3, 0) = 127u << 24;
    Gadget gadget;
    gadget.SetHitImage(10, 20, &image);
    EXPECT_TRUE(gadget.HitTest(10, 20));
    EXPECT_FALSE(gadget.HitTest(11, 20));
    gadget.alphaThreshold = 0.5f;
    EXPECT_TRUE(gadget.HitTest(12, 20));
    EXPECT_FALSE(gadget.HitTest(13, 20));
    gadget.SetRect(10, 20, 4, 1);
    EXPECT_TRUE(gadget.HitTest(11, 20));
}

TEST(GadgetHit, RectangleExcludesItsRightAndBottomEdges)
{
    Gadget gadget;
    gadget.SetHitRect(0, 0, 10, 10);
    EXPECT_TRUE(gadget.HitTest(0, 0));
    EXPECT_TRUE(gadget.HitTest(9, 9));
    EXPECT_FALSE(gadget.HitTest(10, 5));
}

// Updates, drawing and modal loops.
class CountingGadget : public Gadget
{
  public:
    void Update() override
    {
        ++updates;
        if (updates == endAt)
            EndModal(result);
        if (updates == killAt)
            Kill();
        if (updates == quitAt)
            theApp->Quit();
    }
    void Draw() override { ++draws; }

    int updates = 0;
    int draws = 0;
    int endAt = -1;
    int killAt = -1;
    int quitAt = -1;
    int result = 0;
};

TEST(GadgetUpdate, UpdateDelaySkipsTicksWithoutCounting)
{
    ManualClockApp app;
    CountingGadget gadget;
    gadget.updateDelay = 3;
    for (int i = 0; i < 3; ++i)
        gadget.CoreUpdate();
    EXPECT_EQ(gadget.updates, 0);
    EXPECT_EQ(gadget.updateCount, 0);
    gadget.CoreUpdate();
    EXPECT_EQ(gadget.updates, 1);
    EXPECT_EQ(gadget.updateCount, 1);
    EXPECT_TRUE(gadget.initialised);
}

TEST(GadgetUpdate, HiddenGadgetDrawsNothingButEndsItsModalLoop)
{
    ManualClockApp app;
    CountingGadget gadget;
    auto* child = new CountingGadget;
    gadget.AddChild(child);
    gadget.hidden = true;
    gadget.endModalAfterDraw = true;
    gadget.modalRunning = true;
    gadget.CoreDraw();
    EXPECT_EQ(gadget.draws, 0);
    EXPECT_EQ(child->draws, 0);
    EXPECT_FALSE(gadget.modalRunning);
    child->Kill();
}

class ModalLoop : public testing::Test
{
  protected:
    void SetUp() override { Gadget::pressedCount = 0; }

    CountingGadget* ShowDialog()
    {
        auto* dialog = new CountingGadget;
        dialog->SetRect(0, 0, 100, 100);
        app.rootGadgets.Add(dialog);
        return dialog;
    }

    void TearDown() override { app.rootGadgets.DeleteAll(); }

    ManualClockApp app;
};

TEST_F(ModalLoop, EndModalGivesTheResult)
{
    CountingGadget* dialog = ShowDialog();
    dialog->endAt = 3;
    dialog->result = 7;
    EXPECT_EQ(dialog->RunModal(), 7);
    EXPECT_EQ(dialog->updates, 3);
}

TEST_F(ModalLoop, ShowModalAddsTheDialogToTheRoot)
{
    auto* dialog = new CountingGadget;
    dialog->endAt = 2;
    dialog->result = -1;
    EXPECT_EQ(Gadget::ShowModal(dialog), -1);
    EXPECT_EQ(app.rootGadgets.Get(app.rootGadgets.Count() - 1), dialog);
}

TEST_F(ModalLoop, KillEndsTheLoopWithZero)
{
    CountingGadget* dialog = ShowDialog();
    dialog->modalResult = 5; // left from an earlier run
    dialog->killAt = 2;
    EXPECT_EQ(dialog->RunModal(), 0);
    EXPECT_EQ(dialog->updates, 2);
}

TEST_F(ModalLoop, QuitEndsTheLoopWithZero)
{
    CountingGadget* dialog = ShowDialog();
    dialog->modalResult = 5;
    dialog->quitAt = 4;
    EXPECT_EQ(dialog->RunModal(), 0);
    EXPECT_TRUE(app.quit);
}

TEST_F(ModalLoop, HeldPressIsReleasedBeforeTheLoop)
{
    auto* pressed = new RecordingGadget(200, 200, 50, 50);
    app.rootGadgets.Add(pressed);
    app.MouseMove(210, 210);
    app.MouseDown(210, 210, -1);
    pressed->Take();
    // The dialog does not cover the pointer, so adding it cancels nothing.
    CountingGadget* dialog = ShowDialog();
    EXPECT_TRUE(pressed->Take().empty());
    dialog->endAt = 1;
    dialog->RunModal();
    // The release far away also leaves the pointer there: the hover ends.
    EXPECT_EQ(pressed->Take(), (Log{"up -10199,-10199 -1", "exit"}));
    EXPECT_EQ(app.buttonsDown, 0);
    EXPECT_EQ(Gadget::pressedCount, 0);
}

TEST(GadgetTree, AbsolutePositionAddsEveryAncestor)
{
    ManualClockApp app;
    Gadget root;
    root.SetRect(10, 20, 500, 500);
    auto* middle = new Gadget;
    middle->SetRect(5, 5, 100, 100);
    auto* leaf = new Gadget;
    leaf->SetRect(1, 2, 10, 10);
    root.AddChild(middle);
    middle->AddChild(leaf);
    Point position = leaf->GetAbsolutePosition();
    EXPECT_FLOAT_EQ(position.x, 16);
    EXPECT_FLOAT_EQ(position.y, 27);
    EXPECT_EQ(leaf->parent, middle);
    middle->RemoveChild(leaf);
    EXPECT_EQ(leaf->parent, nullptr);
    delete leaf;
    middle->Kill();
}

TEST(GadgetTree, ClipToParentStaysInsideTheParent)
{
    Gadget parent;
    parent.SetRect(100, 100, 50, 50);
    Rect clipped = parent.ClipRectToParent(Rect(-20, 10, 100, 10));
    EXPECT_FLOAT_EQ(clipped.x, 0);
    EXPECT_FLOAT_EQ(clipped.y, 10);
    EXPECT_FLOAT_EQ(clipped.w, 50);
    EXPECT_FLOAT_EQ(clipped.h, 10);
}
} // namespace
