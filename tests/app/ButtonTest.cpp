#include "app/Button.h"

#include "app/Graphics.h"
#include "app/Image.h"
#include "app/SpriteStrip.h"
#include "support/ListenerNotices.h"
#include "support/ManualClockApp.h"
#include "support/QueuedInput.h"
#include "support/RecordingGadget.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
// A strip of 20 x 10 frames whose first frame is opaque but for its right
// quarter, so the button's hit shape has a hole at its right edge.
void MakeStrip(SpriteStrip& strip, int frames)
{
    Image image;
    image.Create(20 * frames, 10, true);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20 * frames; ++x)
            *image.GetPixelPtr(x, y) = x >= 15 && x < 20 ? 0x00000000u : 0xFF808080u;
    }
    strip.CreateFromImage(&image, frames);
}

// A button at (100, 100) on a full-screen listener, driven by queued input.
class ButtonTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        theGraphics.ResetState();
        theGraphics.mMaxTextureWidth = 2048;
        theGraphics.mMaxTextureHeight = 2048;
        app.rootGadgets.Add(listener);
        Build(4);
    }

    // A parent leaves its live children alone when it goes, so the button is
    // taken out and deleted first.
    void TearDown() override
    {
        listener->RemoveChild(button);
        delete button;
        app.rootGadgets.DeleteAll();
        theGraphics.ResetState();
    }

    void Build(int frames)
    {
        if (button != nullptr)
            listener->RemoveChild(button);
        delete button;
        MakeStrip(strip, frames);
        button = new Button();
        button->Setup(listener, &strip, 100, 100, nullptr, nullptr);
        listener->Take();
    }

    int Notices() { return TakeNotices(*listener); }

    ManualClockApp app;
    QueuedInput input{app};
    RecordingGadget* listener = new RecordingGadget(0, 0, 800, 600);
    SpriteStrip strip;
    Button* button = nullptr;
};

TEST_F(ButtonTest, AClickNotifiesOnceOnTheReleaseOverTheButton)
{
    input.Move(105, 105);
    EXPECT_TRUE(button->hovered);
    EXPECT_EQ(button->GetFrame(true), 1);
    input.Press(105, 105);
    EXPECT_TRUE(button->down);
    EXPECT_EQ(button->GetFrame(true), 2);
    EXPECT_EQ(Notices(), 0);
    input.Release(105, 105);
    EXPECT_EQ(Notices(), 1);
    EXPECT_FALSE(button->down);
    EXPECT_EQ(button->GetFrame(true), 1);
}

TEST_F(ButtonTest, ReleasingElsewhereCancelsTheClick)
{
    input.Move(105, 105);
    input.Press(105, 105);
    input.Move(300, 300);
    EXPECT_FALSE(button->hovered);
    // Held but not hovered: the normal frame.
    EXPECT_EQ(button->GetFrame(true), 0);
    input.Release(300, 300);
    EXPECT_FALSE(button->down);
    EXPECT_EQ(button->GetFrame(true), 0);
    EXPECT_EQ(Notices(), 0);
}

TEST_F(ButtonTest, PressingElsewhereAndReleasingOverTheButtonIsNoClick)
{
    input.Move(300, 300);
    input.Press(300, 300);
    input.Move(105, 105);
    input.Release(105, 105);
    EXPECT_EQ(Notices(), 0);
    EXPECT_FALSE(button->down);
}

TEST_F(ButtonTest, TheTransparentPartOfTheFirstFrameIsNotTheButton)
{
    listener->Take();
    input.Click(117, 105);
    std::vector<std::string> log = listener->Take();
    EXPECT_NE(std::find(log.begin(), log.end(), "down 117,105 -1"), log.end());
    EXPECT_FALSE(button->down);
    EXPECT_FALSE(button->hovered);
}

TEST_F(ButtonTest, NotifyOnPressReportsThePressAndIgnoresTheRelease)
{
    button->notifyOnPress = true;
    input.Move(105, 105);
    input.Press(105, 105);
    EXPECT_EQ(Notices(), 1);
    EXPECT_EQ(button->hoverCursor, app.arrowCursor);
    input.Move(300, 300);
    // Shown pressed even when the pointer has left.
    EXPECT_EQ(button->GetFrame(true), 2);
    input.Release(105, 105);
    EXPECT_EQ(Notices(), 0);
}

TEST_F(ButtonTest, NotifyOnEveryPressCountsADoubleClickAsAPress)
{
    button->notifyOnPressAndDoubleClick = true;
    input.Move(105, 105);
    input.Press(105, 105);
    input.Release(105, 105);
    input.DoubleClick(105, 105);
    input.Release(105, 105);
    EXPECT_EQ(Notices(), 2);
}

TEST_F(ButtonTest, APlainButtonIgnoresDoubleClicksAndRightPresses)
{
    input.Move(105, 105);
    input.RightClick(105, 105);
    EXPECT_FALSE(button->down);
    input.DoubleClick(105, 105);
    EXPECT_FALSE(button->down);
    input.Release(105, 105);
    EXPECT_EQ(Notices(), 0);
}

TEST_F(ButtonTest, ADisabledButtonShowsItsFourthFrameAndTakesNoInput)
{
    button->disabled = true;
    EXPECT_EQ(button->GetFrame(true), 3);
    EXPECT_EQ(button->GetFrame(false), 0);
    input.Click(105, 105);
    EXPECT_FALSE(button->down);
    EXPECT_FALSE(button->hovered);
    EXPECT_EQ(Notices(), 0);
}

TEST_F(ButtonTest, ATwoFrameStripShowsItsSecondFrameOnlyWhileHeld)
{
    Build(2);
    input.Move(105, 105);
    EXPECT_EQ(button->GetFrame(false), 0);
    input.Press(105, 105);
    EXPECT_EQ(button->GetFrame(false), 1);
    input.Release(105, 105);
    EXPECT_EQ(button->GetFrame(false), 0);
    EXPECT_EQ(Notices(), 1);
}

TEST_F(ButtonTest, ACancelledPressIsSwallowed)
{
    input.Move(105, 105);
    input.Press(105, 105);
    app.CancelMouse();
    EXPECT_FALSE(button->down);
    input.Release(105, 105);
    EXPECT_EQ(Notices(), 0);
}
} // namespace
