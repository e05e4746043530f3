#include "app/CursorManager.h"
#include "platform/Window.h"

#include "support/CachedImageFile.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {
// Sheets are looked for relative to the working folder, as the program
// finds its art beside itself.
class CursorManagerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.Path());
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    // A sheet of one colour per frame. The ".cached" copy holds the exact
    // pixels; the ".png" beside it is what tells the manager a sheet exists.
    void WriteSheet(const std::string& baseName, int width, int height)
    {
        std::filesystem::create_directories(folder / std::filesystem::path(baseName).parent_path().string());
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                pixels[static_cast<size_t>(y) * width + x] = 0xFF000000 | static_cast<uint32_t>(x);
            }
        }
        WriteCachedImage(folder / (baseName + ".cached"), width, height, pixels);
        folder.WriteText(baseName + ".png", "not read");
    }

    static void ExpectRect(const Rect& rect, float x, float y, float w, float h)
    {
        EXPECT_FLOAT_EQ(rect.x, x);
        EXPECT_FLOAT_EQ(rect.y, y);
        EXPECT_FLOAT_EQ(rect.w, w);
        EXPECT_FLOAT_EQ(rect.h, h);
    }

    static void ExpectFiveCursors(const Sys::CursorManager& manager)
    {
        std::set<Platform::Cursor*> cursors;
        for (int i = 0; i < Sys::CursorManager::kFrameCount; ++i) {
            ASSERT_NE(manager.GetCursor(i), nullptr) << i;
            cursors.insert(manager.GetCursor(i));
        }
        EXPECT_EQ(cursors.size(), 5u);
        EXPECT_EQ(manager.GetCursor(5), nullptr);
        EXPECT_EQ(manager.GetCursor(-1), nullptr);
    }

    TemporaryFolder folder;
    std::filesystem::path previous;
};

uint32_t PixelOf(const Image& sheet, int frame, int x, int y)
{
    return *sheet.GetPixelPtr(frame * Sys::CursorManager::kBuiltInSize + x, y);
}
} // namespace

TEST_F(CursorManagerTest, WithoutASheetFileTheBuiltInCursorsAreUsed)
{
    Sys::CursorManager manager;
    const Image& sheet = manager.GetSheetImage();
    EXPECT_EQ(sheet.mWidth, 320);
    EXPECT_EQ(sheet.mHeight, 64);
    ExpectRect(manager.GetCursorRect(), -32, -32, 64, 64);
    ExpectFiveCursors(manager);
}

TEST_F(CursorManagerTest, BuiltInPicturesAreOutlinedBlackFilledWhite)
{
    Image sheet;
    Sys::CursorManager::BuildDefaultSheet(sheet);
    ASSERT_EQ(sheet.mWidth, 320);
    for (int frame = 0; frame < Sys::CursorManager::kFrameCount; ++frame) {
        int black = 0;
        int white = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const uint32_t pixel = PixelOf(sheet, frame, x, y);
                ASSERT_TRUE(pixel == 0 || pixel == 0xFF000000 || pixel == 0xFFFFFFFF) << frame;
                black += pixel == 0xFF000000;
                white += pixel == 0xFFFFFFFF;
                // White never touches transparency: there is always an outline.
                if (pixel == 0xFFFFFFFF) {
                    ASSERT_NE(PixelOf(sheet, frame, x - 1, y), 0u);
                    ASSERT_NE(PixelOf(sheet, frame, x, y + 1), 0u);
                }
            }
        }
        EXPECT_GT(black, 20) << frame;
        EXPECT_GT(white, 0) << frame;
        // Corners stay clear: the pictures lie inside their cells.
        EXPECT_EQ(PixelOf(sheet, frame, 0, 0), 0u);
        EXPECT_EQ(PixelOf(sheet, frame, 63, 63), 0u);
    }
    // The pointing pictures point where the pointer is: 3 above the centre.
    EXPECT_NE(PixelOf(sheet, Sys::CursorManager::Arrow, 32, 29), 0u);
    EXPECT_EQ(PixelOf(sheet, Sys::CursorManager::Arrow, 31, 28), 0u);
    EXPECT_NE(PixelOf(sheet, Sys::CursorManager::Hand, 32, 29), 0u);
    EXPECT_EQ(PixelOf(sheet, Sys::CursorManager::Hand, 32, 27), 0u);
}

TEST_F(CursorManagerTest, SheetOfFiveFramesIsCutAndCentred)
{
    WriteSheet("Graphics/customcursors", 200, 40);
    Sys::CursorManager manager;
    EXPECT_EQ(manager.GetSheetImage().mWidth, 200);
    ExpectRect(manager.GetCursorRect(), -20, -20, 40, 40);
    ExpectFiveCursors(manager);
}

TEST_F(CursorManagerTest, TexturesSheetComesBeforeGraphicsSheet)
{
    WriteSheet("Graphics/customcursors", 200, 40);
    WriteSheet("Textures/customcursors", 101, 21);
    Sys::CursorManager manager;
    // The odd pixel left over by the division belongs to no frame.
    ExpectRect(manager.GetCursorRect(), -10, -10.5f, 20, 21);
}

TEST_F(CursorManagerTest, SheetTooNarrowToCutGivesWayToTheBuiltInOne)
{
    WriteSheet("Graphics/customcursors", 4, 30);
    Sys::CursorManager manager;
    EXPECT_EQ(manager.GetSheetImage().mWidth, 320);
    ExpectRect(manager.GetCursorRect(), -32, -32, 64, 64);
    ExpectFiveCursors(manager);
}

TEST_F(CursorManagerTest, ShapeFollowsTheApplicationsCursorIndex)
{
    Sys::CursorManager manager;
    EXPECT_EQ(manager.GetShape(), Sys::CursorManager::Arrow);
    EXPECT_TRUE(manager.IsHidden());
    manager.SetShape(Sys::CursorManager::Drag);
    EXPECT_EQ(manager.GetShape(), Sys::CursorManager::Drag);
    // An index outside the five (another cursor of the application) keeps
    // the last frame.
    manager.SetShape(5);
    manager.SetShape(-1);
    EXPECT_EQ(manager.GetShape(), Sys::CursorManager::Drag);
    manager.SetHidden(false);
    EXPECT_FALSE(manager.IsHidden());
    manager.SetShape(Sys::CursorManager::IBeam);
    EXPECT_EQ(manager.GetShape(), Sys::CursorManager::IBeam);
}

TEST_F(CursorManagerTest, ShutdownFreesTheCursorsOnce)
{
    Sys::CursorManager manager;
    manager.SetHidden(false);
    manager.Shutdown();
    EXPECT_EQ(manager.GetCursor(0), nullptr);
    // Nothing left to show, and a second shutdown (the destructor's) is harmless.
    manager.SetShape(Sys::CursorManager::Wait);
    manager.Shutdown();
}

TEST_F(CursorManagerTest, FramesBecomeTheWindowsCursorWhileShown)
{
    // With the window system running the colour cursors are really made.
    Platform::Window window;
    ASSERT_TRUE(window.Create("cursors", 0, 0, 160, 120));
    WriteSheet("Graphics/customcursors", 200, 40);
    Sys::CursorManager manager;
    manager.SetHidden(false);
    for (int frame = 0; frame < Sys::CursorManager::kFrameCount; ++frame) {
        manager.SetShape(frame);
        EXPECT_EQ(manager.GetShape(), frame);
    }
    manager.SetHidden(true);
    manager.Shutdown();
}
