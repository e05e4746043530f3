#include "app/Slider.h"

#include "app/Graphics.h"
#include "support/ListenerNotices.h"
#include "support/ManualClockApp.h"
#include "support/QueuedInput.h"
#include "support/RecordingGadget.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using Log = std::vector<std::string>;

// A slider 200 wide at (100, 100), thumb 10 wide, track inset 5: the thumb's
// centre runs from x = 10 to 190 of the slider, 180 units of travel.
class SliderTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        app.rootGadgets.Add(listener);
        slider->SetRect(100, 100, 200, 20);
        slider->margin = 5;
        slider->SetListener(listener, true);
    }

    // A parent leaves its live children alone when it goes, so the slider is
    // taken out and deleted first.
    void TearDown() override
    {
        listener->RemoveChild(slider);
        delete slider;
        app.rootGadgets.DeleteAll();
    }

    // The thumb's centre in window pixels.
    int ThumbX() const { return 100 + static_cast<int>(slider->GetThumbCenter()); }

    int Notices() { return TakeNotices(*listener); }

    ManualClockApp app;
    QueuedInput input{app};
    RecordingGadget* listener = new RecordingGadget(0, 0, 800, 600);
    Slider* slider = new Slider();
};

TEST_F(SliderTest, TheThumbRunsBetweenTheInsets)
{
    EXPECT_STREQ(slider->name, "Slider");
    EXPECT_EQ(slider->dragThreshold, 0);
    EXPECT_FLOAT_EQ(slider->GetThumbCenter(), 10.0f);
    slider->value = 1.0f;
    EXPECT_FLOAT_EQ(slider->GetThumbCenter(), 190.0f);
}

TEST_F(SliderTest, APressOnTheThumbThenAOneUnitMoveChangesTheValue)
{
    slider->value = 0.5f;
    input.Move(ThumbX() + 2, 110);
    input.Press(ThumbX() + 2, 110);
    EXPECT_TRUE(slider->thumbDragging);
    input.Move(ThumbX() + 3, 110);
    EXPECT_NEAR(slider->value, 0.5f + 1.0f / 180.0f, 1e-5f);
    listener->Take();
    input.Move(ThumbX() + 20, 110);
    EXPECT_EQ(Notices(), 1);
    input.Release(ThumbX(), 110);
    EXPECT_FALSE(slider->thumbDragging);
    float released = slider->value;
    input.Move(150, 110);
    EXPECT_EQ(slider->value, released);
}

TEST_F(SliderTest, APressBesideTheThumbDoesNothing)
{
    input.Move(200, 110);
    input.Press(200, 110);
    input.Move(250, 110);
    input.Release(250, 110);
    EXPECT_FALSE(slider->thumbDragging);
    EXPECT_EQ(slider->value, 0.0f);
    EXPECT_EQ(Notices(), 0);
}

TEST_F(SliderTest, DraggingPastEitherEndClampsAndStillNotifies)
{
    input.Move(110, 110);
    input.Press(110, 110);
    input.Move(700, 110);
    EXPECT_EQ(slider->value, 1.0f);
    EXPECT_EQ(Notices(), 1);
    input.Move(0, 300);
    EXPECT_EQ(slider->value, 0.0f);
    EXPECT_EQ(Notices(), 1);
    input.Move(200, 110);
    EXPECT_NEAR(slider->value, 0.5f, 1e-5f);
    input.Release(200, 110);
}

TEST_F(SliderTest, ASliderWithoutTravelKeepsItsValue)
{
    slider->SetRect(100, 100, 20, 20);
    slider->value = 0.25f;
    input.Move(110, 110);
    input.Press(110, 110);
    input.Move(115, 110);
    EXPECT_EQ(slider->value, 0.25f);
    EXPECT_EQ(Notices(), 1);
    input.Release(115, 110);
}

TEST_F(SliderTest, TheThumbTakesTheDragCursorWhileThePointerIsOnIt)
{
    input.Move(110, 119);
    EXPECT_TRUE(slider->thumbHovered);
    // The cursor is the one for the next move over the slider.
    EXPECT_EQ(slider->hoverCursor, app.ownCursor);
    input.Move(150, 110);
    EXPECT_FALSE(slider->thumbHovered);
    EXPECT_EQ(slider->hoverCursor, app.arrowCursor);
    input.Move(110, 110);
    input.Move(400, 400);
    EXPECT_FALSE(slider->thumbHovered);
}
} // namespace
