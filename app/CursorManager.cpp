#include "app/CursorManager.h"

#include "app/FileHelpers.h"
#include "app/Point.h"
#include "platform/Cursors.h"

#include <algorithm>
#include <vector>

Sys::CursorManager* theCursorManager = nullptr;

namespace Sys {

namespace {
constexpr const char* kSheetNames[] = {"Textures\\customcursors", "Graphics\\customcursors"};
constexpr const char* kImageEndings[] = {".png", ".jpg", ".gif"};
constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;
// The picture is drawn this far below its centre's place at the pointer.
constexpr int kPointerDrop = 3;

using Polygon = std::vector<Point>;
using Picture = std::vector<Polygon>;

Polygon Box(float left, float top, float right, float bottom)
{
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

// Every picture has its hot spot where the pointer sits: the centre of the
// cell, kPointerDrop above the middle row (32, 29).
const Picture kPictures[CursorManager::kFrameCount] = {
    // arrow
    {{{32, 28.5f}, {32, 52}, {37, 47}, {41, 56}, {45, 54}, {41, 45}, {48, 45}}},
    // hourglass
    {Box(20, 12, 44, 17),
     Box(20, 41, 44, 46),
     {{23, 17}, {41, 17}, {41, 20}, {34, 29}, {41, 38}, {41, 41}, {23, 41}, {23, 38}, {30, 29}, {23, 20}}},
    // pointing hand
    {Box(29, 29, 36, 45),
     Box(36, 38, 41, 46),
     Box(41, 39, 46, 46),
     Box(46, 41, 50, 47),
     Box(29, 44, 50, 58),
     {{29, 46}, {23, 41}, {20, 44}, {29, 56}}},
    // I-beam
    {Box(31, 17, 34, 42), Box(26, 15, 39, 18), Box(26, 41, 39, 44)},
    // grabbing hand: four knuckles with gaps between them over the palm
    {Box(20, 26, 44, 44),
     Box(21, 21, 26, 27),
     Box(27, 20, 32, 27),
     Box(33, 20, 38, 27),
     Box(39, 21, 44, 27),
     {{20, 30}, {14, 27}, {12, 30}, {20, 40}}},
};

// Even-odd rule at the pixel's centre.
bool PolygonContains(const Polygon& polygon, float x, float y)
{
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point& a = polygon[i];
        const Point& b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) {
            inside = !inside;
        }
    }
    return inside;
}

bool PictureContains(const Picture& picture, int x, int y)
{
    if (x < 0 || y < 0 || x >= CursorManager::kBuiltInSize || y >= CursorManager::kBuiltInSize) {
        return false;
    }
    return std::any_of(picture.begin(), picture.end(), [x, y](const Polygon& polygon) {
        return PolygonContains(polygon, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
    });
}

// Pixels at the picture's edge are the outline; the rest of it is filled.
uint32_t PicturePixel(const Picture& picture, int x, int y)
{
    if (!PictureContains(picture, x, y)) {
        return 0;
    }
    const bool inner = PictureContains(picture, x - 1, y) && PictureContains(picture, x + 1, y) &&
                       PictureContains(picture, x, y - 1) && PictureContains(picture, x, y + 1);
    return inner ? kWhite : kBlack;
}

bool AnyImageFile(const char* baseName)
{
    for (const char* ending : kImageEndings) {
        if (FileExists(String(baseName).Concat(ending))) {
            return true;
        }
    }
    return false;
}
} // namespace

CursorManager::CursorManager()
{
    LoadSheetImage();
    BuildSheet();
}

CursorManager::~CursorManager()
{
    Shutdown();
}

void CursorManager::Shutdown()
{
    if (mShutDown) {
        return;
    }
    mShutDown = true;
    FreeCursors();
}

void CursorManager::LoadSheetImage()
{
    for (const char* name : kSheetNames) {
        if (AnyImageFile(name)) {
            mSheetImage.Load(name);
            return;
        }
    }
    BuildDefaultSheet(mSheetImage);
}

void CursorManager::BuildDefaultSheet(Image& sheet)
{
    sheet.Create(kBuiltInSize * kFrameCount, kBuiltInSize, true);
    for (int frame = 0; frame < kFrameCount; ++frame) {
        for (int y = 0; y < kBuiltInSize; ++y) {
            for (int x = 0; x < kBuiltInSize; ++x) {
                *sheet.GetPixelPtr(frame * kBuiltInSize + x, y) = PicturePixel(kPictures[frame], x, y);
            }
        }
    }
}

void CursorManager::BuildSheet()
{
    FreeCursors();
    // A sheet narrower than five pixels has no frames to show; the pointer
    // must not vanish, so the built-in sheet takes over.
    if (mSheetImage.mWidth < kFrameCount) {
        BuildDefaultSheet(mSheetImage);
    }
    const int width = mSheetImage.mWidth / kFrameCount;
    const int height = mSheetImage.mHeight;
    mCursorRect = Rect(-width * 0.5f, -height * 0.5f, static_cast<float>(width), static_cast<float>(height));
    const int hotX = static_cast<int>(width * 0.5f);
    const int hotY = static_cast<int>(height * 0.5f) - kPointerDrop;
    Image frame;
    for (int i = 0; i < kFrameCount; ++i) {
        frame.CopyRect(mSheetImage, i * width, 0, width, height);
        mCursors[i] = Platform::Cursors::CreateColor(frame.mPixels, width, height, hotX, hotY);
    }
    if (!mHidden) {
        ShowCurrent();
    }
}

void CursorManager::FreeCursors()
{
    for (Platform::Cursor*& cursor : mCursors) {
        Platform::Cursors::Free(cursor);
        cursor = nullptr;
    }
}

void CursorManager::SetShape(int frame)
{
    if (frame < 0 || frame >= kFrameCount) {
        return;
    }
    mFrame = frame;
    if (!mHidden) {
        ShowCurrent();
    }
}

void CursorManager::SetHidden(bool hidden)
{
    mHidden = hidden;
    if (!mHidden) {
        ShowCurrent();
    }
}

Platform::Cursor* CursorManager::GetCursor(int frame) const
{
    return frame >= 0 && frame < kFrameCount ? mCursors[frame] : nullptr;
}

void CursorManager::ShowCurrent()
{
    if (mCursors[mFrame] != nullptr) {
        Platform::Cursors::Show(mCursors[mFrame]);
    }
}

} // namespace Sys
