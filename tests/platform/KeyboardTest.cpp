#include "platform/Keyboard.h"

#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

namespace {
namespace Code = Platform::KeyCode;

TEST(KeyboardMapping, ScanCodesBecomeTheKeyCodesTheApplicationTests)
{
    using Platform::Keyboard::KeyCodeOfScancode;
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_ESCAPE), Code::Escape);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_Q), Code::Q);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_V), Code::V);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_SPACE), Code::Space);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_F10), Code::F10);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_F11), Code::F11);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_F12), Code::F12);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_LCTRL), Code::LeftControl);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_RCTRL), Code::RightControl);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_RALT), Code::RightAlt);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_UP), Code::Up);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_PAGEDOWN), Code::PageDown);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_KP_ENTER), Code::NumpadEnter);
    EXPECT_EQ(KeyCodeOfScancode(SDL_SCANCODE_UNKNOWN), 0);
}

TEST(KeyboardState, HeldKeysShowTheTopBit)
{
    uint8_t state[256] = {};
    Platform::Keyboard::ReportFocus(true);
    Platform::Keyboard::ReportKey(SDL_SCANCODE_LEFT, true);
    ASSERT_TRUE(Platform::Keyboard::GetState(state));
    EXPECT_EQ(state[Code::Left], 0x80);
    Platform::Keyboard::ReportKey(SDL_SCANCODE_LEFT, false);
    ASSERT_TRUE(Platform::Keyboard::GetState(state));
    EXPECT_EQ(state[Code::Left], 0);
}
} // namespace
