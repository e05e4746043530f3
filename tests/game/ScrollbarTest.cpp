// The scroll bar's layout and value rules, without a window.
#include "game/Scrollbar.h"

#include <gtest/gtest.h>

TEST(Scrollbar, LayoutGivesTravelStepsAndPageAreas)
{
    struct Case
    {
        const char* what;
        Rect rect;
        float thumb;
        float travel;
        bool horizontal, vertical;
    };
    const Case cases[] = {
        {"profile list bar", Rect(580, 149, 25, 207), 207 * 0.25f, 207 - 50 - 207 * 0.25f, false, true},
        {"horizontal", Rect(0, 0, 300, 20), 100, 300 - 40 - 100, true, false},
        {"too short for arrows and thumb", Rect(0, 0, 25, 120), 100, 0, false, true},
        {"square", Rect(0, 0, 40, 40), 10, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scrollbar bar;
        bar.thumbSize = c.thumb;
        bar.SetRect(c.rect);
        EXPECT_EQ(bar.horizontal, c.horizontal);
        EXPECT_EQ(bar.vertical, c.vertical);
        EXPECT_FLOAT_EQ(bar.travel, c.travel);
        bar.SetValue(0.5f);
        if (c.travel <= 0) {
            // Nothing can move, and nothing divides by zero.
            EXPECT_EQ(bar.value, 0.0f);
            EXPECT_EQ(bar.step, 0.0f);
            continue;
        }
        EXPECT_FLOAT_EQ(bar.step, 1.0f / c.travel);
        EXPECT_FLOAT_EQ(bar.pageStep, c.thumb / c.travel);
        float along = c.horizontal ? bar.pageBackArea.rect.w : bar.pageBackArea.rect.h;
        float after = c.horizontal ? bar.pageForwardArea.rect.w : bar.pageForwardArea.rect.h;
        EXPECT_FLOAT_EQ(along, c.travel * 0.5f) << "back area reaches the thumb";
        EXPECT_FLOAT_EQ(along + c.thumb + after, c.travel + c.thumb);
    }
}

TEST(Scrollbar, ArrowsPagesAndDragsMoveAndPinTheValue)
{
    Scrollbar bar;
    bar.thumbSize = 207 * 0.25f;
    bar.SetRect(Rect(580, 149, 25, 207));
    bar.Notify(&bar.forwardArrow);
    EXPECT_FLOAT_EQ(bar.ThumbPosition(), 25 + 1) << "one arrow step is one pixel";
    EXPECT_EQ(bar.repeatDelay, 50);
    bar.Notify(&bar.pageForwardArea);
    EXPECT_NEAR(bar.ThumbPosition(), 25 + 1 + 207 * 0.25f, 1e-3f) << "one page is one thumb length";
    bar.Notify(&bar.backArrow);
    bar.Notify(&bar.pageBackArea);
    EXPECT_FLOAT_EQ(bar.value, 0.0f);

    bar.DragStart(10, int(bar.ThumbPosition()) + 5);
    bar.Drag(10, 5000);
    EXPECT_FLOAT_EQ(bar.value, 1.0f);
    bar.Drag(10, -5000);
    EXPECT_FLOAT_EQ(bar.value, 0.0f);
    bar.DragEnd(10, 0);
    EXPECT_FALSE(bar.thumbPressed);
}
