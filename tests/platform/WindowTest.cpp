#include "platform/Window.h"
#include "platform/Keyboard.h"

#include "support/ScopedVariable.h"
#include "support/SdlEventInjector.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {
using Platform::WindowMessage;
namespace Msg = Platform::Message;
namespace Key = Platform::VirtualKey;
using Inject = SdlEventInjector::Button;

class WindowTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Create("test", 64, 64, 256, 256));
        Drain();
    }

    std::vector<WindowMessage> Drain()
    {
        std::vector<WindowMessage> messages;
        WindowMessage message;
        while (window.PollMessage(message))
            messages.push_back(message);
        return messages;
    }

    Platform::Window window;
};

TEST(WindowPacking, PointsKeepTheirSignInBothHalves)
{
    uint32_t packed = Platform::PackPoint(-9999, -9999);
    EXPECT_EQ(Platform::PointX(packed), -9999);
    EXPECT_EQ(Platform::PointY(packed), -9999);
    packed = Platform::PackPoint(300, 200);
    EXPECT_EQ(packed, (200u << 16) | 300u);
}

// With no display answering, SDL would fall back on a driver that shows
// nothing: the window must fail to open instead, unless that driver is asked
// for by name.
TEST(WindowOpening, WithoutADisplayOnlyANamedHeadlessDriverOpens)
{
    ScopedVariable driver("SDL_VIDEODRIVER", nullptr);
    ScopedVariable x("DISPLAY", nullptr);
    ScopedVariable wayland("WAYLAND_DISPLAY", nullptr);
    ScopedVariable runtime("XDG_RUNTIME_DIR", nullptr);
    Platform::Window window;
    bool opened = window.Create("test", 0, 0, 64, 64);
    std::string chosen = opened ? SDL_GetCurrentVideoDriver() : "";
    if (opened && chosen != "offscreen" && chosen != "dummy")
        GTEST_SKIP() << "this machine has a display without X or Wayland: " << chosen;
    EXPECT_FALSE(opened) << "opened on " << chosen;
    EXPECT_EQ(Platform::Window::LastError(), "no display answered");
    driver.Set("offscreen");
    EXPECT_TRUE(window.Create("test", 0, 0, 64, 64));
}

TEST_F(WindowTest, OpensWithANativeHandleAndCloses)
{
    EXPECT_TRUE(window.IsOpen());
    EXPECT_NE(window.NativeHandle(), nullptr);
    window.Destroy();
    EXPECT_FALSE(window.IsOpen());
    EXPECT_EQ(window.NativeHandle(), nullptr);
}

TEST_F(WindowTest, MouseEventsBecomeMouseMessagesWithPackedPositions)
{
    SdlEventInjector::MouseMotion(300, 200);
    SdlEventInjector::MouseButton(300, 200, Inject::Left, true);
    SdlEventInjector::MouseButton(301, 200, Inject::Left, false);
    SdlEventInjector::MouseButton(10, 20, Inject::Right, true);
    SdlEventInjector::MouseButton(10, 20, Inject::Middle, false);
    std::vector<WindowMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].message, Msg::MouseMove);
    EXPECT_EQ(messages[0].lParam, Platform::PackPoint(300, 200));
    EXPECT_EQ(messages[1].message, Msg::LeftButtonDown);
    EXPECT_EQ(messages[2].message, Msg::LeftButtonUp);
    EXPECT_EQ(Platform::PointX(messages[2].lParam), 301);
    EXPECT_EQ(messages[3].message, Msg::RightButtonDown);
    EXPECT_EQ(messages[4].message, Msg::MiddleButtonUp);
}

// Quick clicks on two neighbouring cells, 20 px apart across their shared
// edge, are two presses; a double click needs the same button again within
// 500 ms and at most 3 px away each way, and the press after it starts anew.
TEST_F(WindowTest, DoubleClicksNeedTheSameButtonSoonAndCloseBy)
{
    const struct
    {
        int x, y;
        Inject button;
        uint32_t at; // ms after the first press
        uint32_t message;
    } presses[] = {
        {310, 100, Inject::Left, 0, Msg::LeftButtonDown},
        {330, 100, Inject::Left, 60, Msg::LeftButtonDown},
        {333, 103, Inject::Left, 100, Msg::LeftButtonDoubleClick},
        {333, 103, Inject::Left, 150, Msg::LeftButtonDown},
        {337, 103, Inject::Left, 200, Msg::LeftButtonDown},
        {337, 103, Inject::Right, 250, Msg::RightButtonDown},
        {337, 103, Inject::Right, 751, Msg::RightButtonDown},
        {337, 100, Inject::Right, 1251, Msg::RightButtonDoubleClick},
    };
    const uint32_t start = 1000;
    for (const auto& press : presses) {
        SdlEventInjector::MouseButton(press.x, press.y, press.button, true, start + press.at);
        SdlEventInjector::MouseButton(press.x, press.y, press.button, false, start + press.at + 30);
    }
    std::vector<WindowMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 2 * std::size(presses));
    for (size_t i = 0; i < std::size(presses); ++i) {
        EXPECT_EQ(messages[2 * i].message, presses[i].message) << i;
        EXPECT_EQ(messages[2 * i].lParam, Platform::PackPoint(presses[i].x, presses[i].y)) << i;
    }
}

TEST_F(WindowTest, WheelTurnsComeInMultiplesOf120InTheHighHalf)
{
    SdlEventInjector::MouseWheel(1);
    SdlEventInjector::MouseWheel(-2);
    std::vector<WindowMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, Msg::MouseWheel);
    EXPECT_EQ(static_cast<int16_t>(messages[0].wParam >> 16), 120);
    EXPECT_EQ(static_cast<int16_t>(messages[1].wParam >> 16), -240);
}

TEST_F(WindowTest, KeysArriveAsVirtualKeysAndEditingKeysAlsoAsCharacters)
{
    SdlEventInjector::Key("A", true);
    SdlEventInjector::Key("Backspace", true);
    SdlEventInjector::Key("Return", true);
    SdlEventInjector::Key("Escape", false);
    std::vector<WindowMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0].message, Msg::KeyDown);
    EXPECT_EQ(messages[0].wParam, static_cast<uint32_t>('A'));
    EXPECT_EQ(messages[1].message, Msg::KeyDown);
    EXPECT_EQ(messages[1].wParam, Key::Back);
    EXPECT_EQ(messages[2].message, Msg::Char);
    EXPECT_EQ(messages[2].wParam, 8u);
    EXPECT_EQ(messages[3].wParam, Key::Return);
    EXPECT_EQ(messages[4].message, Msg::Char);
    EXPECT_EQ(messages[4].wParam, 13u);
    EXPECT_EQ(messages[5].message, Msg::KeyUp);
    EXPECT_EQ(messages[5].wParam, Key::Escape);
}

TEST_F(WindowTest, KeysWithAltHeldAreSystemKeys)
{
    SdlEventInjector::Key("Left Alt", true);
    SdlEventInjector::Key("Return", true, true);
    SdlEventInjector::Key("Return", false, true);
    std::vector<WindowMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, Msg::SysKeyDown);
    EXPECT_EQ(messages[0].wParam, Key::Menu);
    EXPECT_EQ(messages[1].message, Msg::SysKeyDown);
    EXPECT_EQ(messages[1].wParam, Key::Return);
    EXPECT_EQ(messages[2].message, Msg::SysKeyUp);
}

TEST_F(WindowTest, TypedTextBecomesWindows1252Characters)
{
    SdlEventInjector::Text("a\xC3\xA9\xE2\x82\xAC\xE2\x98\x83");
    std::vector<WindowMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 4u);
    for (const WindowMessage& message : messages)
        EXPECT_EQ(message.message, Msg::Char);
    EXPECT_EQ(messages[0].wParam, static_cast<uint32_t>('a'));
    EXPECT_EQ(messages[1].wParam, 0xE9u); // e acute
    EXPECT_EQ(messages[2].wParam, 0x80u); // euro sign
    EXPECT_EQ(messages[3].wParam, static_cast<uint32_t>('?'));
}

TEST_F(WindowTest, WindowEventsBecomeActivationPaintAndClose)
{
    SdlEventInjector::Window(SdlEventInjector::WindowChange::FocusLost);
    SdlEventInjector::Window(SdlEventInjector::WindowChange::FocusGained);
    SdlEventInjector::Window(SdlEventInjector::WindowChange::Exposed);
    SdlEventInjector::Window(SdlEventInjector::WindowChange::Close);
    SdlEventInjector::Quit();
    std::vector<WindowMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].message, Msg::Activate);
    EXPECT_EQ(messages[0].wParam, Platform::Activation::Inactive);
    EXPECT_EQ(messages[1].message, Msg::Activate);
    EXPECT_EQ(messages[1].wParam, Platform::Activation::Active);
    EXPECT_EQ(messages[2].message, Msg::Paint);
    EXPECT_EQ(messages[3].message, Msg::Close);
    EXPECT_EQ(messages[4].message, Msg::Close);
}

TEST_F(WindowTest, PostedMessagesComeBeforeWindowEvents)
{
    SdlEventInjector::MouseMotion(1, 1);
    window.PostMessage(Msg::LeftButtonUp, 0, Platform::PackPoint(-9999, -9999));
    std::vector<WindowMessage> messages = Drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, Msg::LeftButtonUp);
    EXPECT_EQ(messages[1].message, Msg::MouseMove);
}

TEST_F(WindowTest, PointerPositionFollowsEventsAndIsFarAwayOnceItLeft)
{
    SdlEventInjector::MouseMotion(40, 50);
    Drain();
    int x = 0;
    int y = 0;
    window.GetCursorPosition(x, y);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 50);
    SdlEventInjector::Window(SdlEventInjector::WindowChange::PointerLeft);
    Drain();
    window.GetCursorPosition(x, y);
    EXPECT_LT(x, -1000);
    EXPECT_LT(y, -1000);
}

TEST_F(WindowTest, KeyboardStateFollowsKeysAndIsRefusedWithoutFocus)
{
    uint8_t state[256] = {};
    SdlEventInjector::Key("Space", true);
    Drain();
    ASSERT_TRUE(Platform::Keyboard::GetState(state));
    EXPECT_EQ(state[Platform::KeyCode::Space], 0x80);
    SdlEventInjector::Window(SdlEventInjector::WindowChange::FocusLost);
    Drain();
    EXPECT_FALSE(Platform::Keyboard::GetState(state));
    SdlEventInjector::Window(SdlEventInjector::WindowChange::FocusGained);
    Drain();
    ASSERT_TRUE(Platform::Keyboard::GetState(state));
    // The release went to another window: the key no longer counts as held.
    EXPECT_EQ(state[Platform::KeyCode::Space], 0);
}
} // namespace
