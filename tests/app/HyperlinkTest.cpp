#include "app/Hyperlink.h"

#include "support/ManualClockApp.h"
#include "support/QueuedInput.h"
#include "support/RecordingGadget.h"
#include "support/WidthOnlyFont.h"

#include <gtest/gtest.h>

namespace {
class UrlRecordingApp : public ManualClockApp
{
  public:
    bool OpenURL(const String& url) override
    {
        opened.push_back(url.CStr());
        return true;
    }

    std::vector<std::string> opened;
};

class HyperlinkTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        link->font = &font;
        link->text = "abcd";
        link->url = "http://example.invalid/";
        link->anchorX = 200;
        link->anchorY = 50;
        app.rootGadgets.Add(link);
    }

    void TearDown() override { app.rootGadgets.DeleteAll(); }

    UrlRecordingApp app;
    QueuedInput input{app};
    WidthOnlyFont font{"abcd", 8, 16};
    Hyperlink* link = new Hyperlink();
};

TEST_F(HyperlinkTest, LayoutSizesTheLinkToItsText)
{
    link->Layout(false);
    EXPECT_EQ(link->rect.x, 200);
    EXPECT_EQ(link->rect.y, 50);
    EXPECT_EQ(link->rect.w, 32);
    EXPECT_EQ(link->rect.h, 16);
    link->Layout(true);
    EXPECT_EQ(link->rect.x, 184);
    EXPECT_FALSE(link->clipToOwnRect);
    EXPECT_EQ(link->hoverCursor, app.handCursor);
}

TEST_F(HyperlinkTest, AClickWithoutAListenerOpensThePage)
{
    link->Layout(false);
    input.Click(210, 55);
    input.RightClick(210, 55);
    EXPECT_EQ(app.opened, (std::vector<std::string>{"http://example.invalid/"}));
}

TEST_F(HyperlinkTest, WithAListenerOnlyTheListenerIsTold)
{
    auto* listener = new RecordingGadget(0, 0, 10, 10);
    app.rootGadgets.Add(listener);
    link->listener = listener;
    link->Layout(false);
    input.Click(210, 55);
    EXPECT_TRUE(app.opened.empty());
    EXPECT_EQ(listener->Take(), (std::vector<std::string>{"notify"}));
}
} // namespace
