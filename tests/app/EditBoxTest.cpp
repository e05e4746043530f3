#include "app/EditBox.h"

#include "app/Graphics.h"
#include "app/Keyboard.h"
#include "app/ProfileManager.h"
#include "platform/Dialogs.h"
#include "platform/Keyboard.h"
#include "platform/Shell.h"
#include "platform/Window.h"
#include "support/ManualClockApp.h"
#include "support/QueuedInput.h"
#include "support/RecordingGadget.h"
#include "support/WidthOnlyFont.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
namespace VK = Platform::VirtualKey;
namespace Key = Platform::KeyCode;
using Log = std::vector<std::string>;

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ ";

// A 300 x 45 box at (100, 100) with a font of 10-pixel letters; its text
// starts at x = 102, inside the 2-pixel margin.
class EditBoxTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        theGraphics.ResetState();
        app.rootGadgets.Add(listener);
        box->SetRect(100, 100, 300, 45);
        box->font = &font;
        box->listener = listener;
        app.rootGadgets.Add(box);
    }

    void TearDown() override
    {
        app.rootGadgets.DeleteAll();
        theGraphics.ResetState();
        std::memset(theKeyboard.state, 0, sizeof(theKeyboard.state));
    }

    // Clicks into the box, which takes the key focus, and types.
    void Focus() { input.Click(390, 110); }

    std::string Text() const { return box->text.CStr(); }

    void Hold(int key) { theKeyboard.state[theKeyboard.current][key] = 0x80; }

    ManualClockApp app;
    QueuedInput input{app};
    Platform::Dialogs::Recorder dialogs;
    WidthOnlyFont font{kLetters, 10};
    RecordingGadget* listener = new RecordingGadget(0, 0, 50, 50);
    EditBox* box = new EditBox();
};

TEST_F(EditBoxTest, TypingNeedsTheKeyFocus)
{
    input.Type("ab");
    EXPECT_EQ(Text(), "");
    Focus();
    EXPECT_EQ(app.keyFocusGadget, box);
    input.Type("ab");
    EXPECT_EQ(Text(), "Ab");
}

TEST_F(EditBoxTest, ALeadingSpaceIsRefusedAndTheFirstLetterCapitalised)
{
    Focus();
    input.Type(" a");
    EXPECT_EQ(Text(), "A");
    EXPECT_EQ(dialogs.beeps, 1);
    input.Type("b c");
    EXPECT_EQ(Text(), "Ab c");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(box->caret, 4);
    EXPECT_EQ(box->caretX, 40);
}

TEST_F(EditBoxTest, CaretKeysMoveAndDeleteWithinTheText)
{
    Focus();
    input.Type("abcde");
    input.KeyDown(VK::Home);
    EXPECT_EQ(box->caret, 0);
    input.Char(VK::Back);
    EXPECT_EQ(Text(), "Abcde");
    input.KeyDown(VK::Left);
    EXPECT_EQ(box->caret, 0);
    input.KeyDown(VK::Right);
    input.KeyDown(VK::Right);
    input.KeyDown(VK::Delete);
    EXPECT_EQ(Text(), "Abde");
    EXPECT_EQ(box->caret, 2);
    EXPECT_EQ(box->caretX, 20);
    input.Char(VK::Back);
    EXPECT_EQ(Text(), "Ade");
    EXPECT_EQ(box->caret, 1);
    input.KeyDown(VK::End);
    input.KeyDown(VK::Right);
    EXPECT_EQ(box->caret, 3);
    input.KeyDown(VK::Delete);
    EXPECT_EQ(Text(), "Ade");
    // Typing goes in at the caret.
    input.KeyDown(VK::Left);
    input.Type("x");
    EXPECT_EQ(Text(), "Adxe");
}

TEST_F(EditBoxTest, AtMostTwentyFiveCharactersByDefault)
{
    Focus();
    input.Type(std::string(30, 'q'));
    EXPECT_EQ(box->text.Length(), 25);
    box->lengthLimitOn = false;
    input.Type("qq");
    EXPECT_EQ(box->text.Length(), 27);
}

TEST_F(EditBoxTest, TheWidthLimitLeavesRoomForTheCaret)
{
    font.Add('1', 97);
    font.Add('2', 98);
    box->widthLimitOn = true;
    box->widthLimit = 295;
    Focus();
    input.Type("111");
    EXPECT_EQ(Text(), "111"); // 291 wide
    box->text = "11";
    box->caret = 2;
    EXPECT_EQ(dialogs.beeps, 0);
    input.Type("2");
    EXPECT_EQ(Text(), "11"); // 292 would pass 295 - 4
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(EditBoxTest, ForbiddenAndUnknownCharactersAreNotTaken)
{
    box->forbiddenCharacters = ProfileManager::kForbiddenNameCharacters;
    Focus();
    input.Type("a,b/c\\d:e*?\"<>|f#");
    EXPECT_EQ(Text(), "Abcdef");
    // Each forbidden character beeps; one the font lacks is dropped quietly.
    EXPECT_EQ(dialogs.beeps, 10);
    box->forceUpperCase = true;
    input.Type("gh");
    EXPECT_EQ(Text(), "AbcdefGH");
}

TEST_F(EditBoxTest, EnterWithTextDropsTheFocusAndTellsTheListener)
{
    Focus();
    listener->Take();
    input.Char(VK::Return);
    EXPECT_EQ(app.keyFocusGadget, box);
    EXPECT_TRUE(listener->Take().empty());
    input.Type("ann");
    input.Char(VK::Return);
    EXPECT_EQ(app.keyFocusGadget, nullptr);
    EXPECT_EQ(listener->Take(), (Log{"notify"}));
}

TEST_F(EditBoxTest, EnterOnAnEmptyTextEndsTheEntryWhenAccepted)
{
    box->acceptEmptyEnter = true;
    Focus();
    listener->Take();
    input.Char(VK::Return);
    EXPECT_EQ(app.keyFocusGadget, nullptr);
    EXPECT_EQ(listener->Take(), (Log{"notify"}));
}

TEST_F(EditBoxTest, AClickPutsTheCaretAtTheNearerEdge)
{
    Focus();
    input.Type("abcde");
    input.Click(101, 110);
    EXPECT_EQ(box->caret, 0);
    input.Click(390, 110);
    EXPECT_EQ(box->caret, 5);
    // 21 and 25 pixels into the text: the left half of the third letter.
    input.Click(123, 110);
    EXPECT_EQ(box->caret, 2);
    input.Click(127, 110);
    EXPECT_EQ(box->caret, 2);
    // Its right half.
    input.Click(128, 110);
    EXPECT_EQ(box->caret, 3);
}

TEST_F(EditBoxTest, TabHandsTheFocusOn)
{
    auto* next = new RecordingGadget(500, 100, 50, 50);
    app.rootGadgets.Add(next);
    box->tabTarget = next;
    Focus();
    input.KeyDown(VK::Tab);
    EXPECT_EQ(app.keyFocusGadget, next);
}

TEST_F(EditBoxTest, AReadOnlyBoxIgnoresEverything)
{
    box->text = "Fixed";
    box->readOnly = true;
    input.Click(390, 110);
    EXPECT_EQ(app.keyFocusGadget, nullptr);
    box->TakeKeyFocus();
    input.Type("abc");
    input.KeyDown(VK::Home);
    input.Char(VK::Back);
    EXPECT_EQ(Text(), "Fixed");
    EXPECT_EQ(box->caret, 0);
}

TEST_F(EditBoxTest, TheCaretBlinksEveryTwentyFiveUpdatesAndShowsOnAKey)
{
    Focus();
    bool start = box->caretBlink.state;
    for (int i = 0; i < 24; ++i)
        app.rootObjects.Update();
    EXPECT_EQ(box->caretBlink.state, start);
    app.rootObjects.Update();
    EXPECT_NE(box->caretBlink.state, start);
    box->caretBlink.state = false;
    box->caretBlink.count = 20;
    input.KeyDown(VK::Left);
    EXPECT_TRUE(box->caretBlink.state);
    EXPECT_EQ(box->caretBlink.count, 0);
}

TEST_F(EditBoxTest, DrawingScrollsToKeepTheCaretInView)
{
    box->SetRect(100, 100, 100, 45);
    box->lengthLimitOn = false;
    box->TakeKeyFocus();
    input.Type(std::string(15, 'w'));
    box->Draw();
    // 150 pixels of text in 96 visible, with room for the 4-pixel caret.
    EXPECT_EQ(box->scroll, 58);
    // The click lands 20 pixels into what is shown.
    input.Click(122, 110);
    EXPECT_EQ(box->caret, 8);
    input.KeyDown(VK::Home);
    box->Draw();
    EXPECT_EQ(box->scroll, 0);
}

// Pasting needs the window system's clipboard.
class EditBoxPasteTest : public EditBoxTest
{
  protected:
    void SetUp() override
    {
        EditBoxTest::SetUp();
        ASSERT_TRUE(window.Create("edit box", 0, 0, 800, 600));
        Focus();
    }

    void TearDown() override
    {
        EditBoxTest::TearDown();
        window.Destroy();
    }

    void Copy(const std::string& text) { ASSERT_TRUE(Platform::Shell::SetClipboardText(text)); }

    Platform::Window window;
};

TEST_F(EditBoxPasteTest, ControlVTypesThePrintableBytes)
{
    Copy("ab\tc");
    input.KeyDown('V');
    EXPECT_EQ(Text(), "");
    Hold(Key::RightControl);
    input.KeyDown('V');
    EXPECT_EQ(Text(), "Abc");
    EXPECT_EQ(box->caret, 3);
}

TEST_F(EditBoxPasteTest, ShiftInsertAndTheRightButtonPaste)
{
    Copy("xy");
    input.KeyDown(VK::Insert);
    EXPECT_EQ(Text(), "");
    Hold(Key::LeftShift);
    input.KeyDown(VK::Insert);
    EXPECT_EQ(Text(), "Xy");
    input.RightClick(390, 110);
    EXPECT_EQ(Text(), "Xyxy");
}

TEST_F(EditBoxPasteTest, PastedTextMeetsEveryRule)
{
    box->forbiddenCharacters = ",";
    Copy(" a,b" + std::string(40, 'z'));
    Hold(Key::LeftControl);
    input.KeyDown('V');
    EXPECT_EQ(Text(), "Ab" + std::string(23, 'z'));
}
} // namespace
