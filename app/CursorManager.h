#pragma once

#include "app/Image.h"
#include "app/Rect.h"

namespace Platform {
struct Cursor;
}

namespace Sys {

// The custom mouse cursor ("DX::UseCustomCursors"): five pictures from one
// sheet, shown in place of the system's cursors while the pointer is over
// the window. Each picture becomes a colour cursor that the window system
// draws at pointer rate, so the cursor stays smooth however slow the frames
// are, and nothing has to be saved under it or drawn in the frame.
class CursorManager
{
  public:
    // Frames of the sheet, in the order of the application's cursors.
    enum Frame { Arrow, Wait, Hand, IBeam, Drag, kFrameCount };

    static constexpr int kBuiltInSize = 64;

    // Loads the sheet ("Textures\customcursors", else
    // "Graphics\customcursors", else the built-in one) and cuts it.
    CursorManager();
    virtual ~CursorManager();
    CursorManager(const CursorManager&) = delete;
    CursorManager& operator=(const CursorManager&) = delete;

    // Frees the cursors; runs once.
    virtual void Shutdown();

    // Cuts the sheet image into the five cursors, each centred on the
    // pointer; a sheet too small to cut gives way to the built-in one.
    void BuildSheet();
    // Five 64x64 pictures side by side: arrow, hourglass, pointing hand,
    // I-beam and grabbing hand, black outlines filled white.
    static void BuildDefaultSheet(Image& sheet);

    // The frame shown from now on (0 to 4; others are ignored).
    void SetShape(int frame);
    int GetShape() const { return mFrame; }
    // Hidden, the application shows its own cursors; shown, the current
    // frame is the window's cursor.
    void SetHidden(bool hidden);
    bool IsHidden() const { return mHidden; }

    Platform::Cursor* GetCursor(int frame) const;
    // The picture's place relative to the pointer.
    const Rect& GetCursorRect() const { return mCursorRect; }
    const Image& GetSheetImage() const { return mSheetImage; }

  private:
    void LoadSheetImage();
    void FreeCursors();
    void ShowCurrent();

    Image mSheetImage;
    Rect mCursorRect{-32.0f, -32.0f, 64.0f, 64.0f};
    Platform::Cursor* mCursors[kFrameCount] = {};
    int mFrame = Arrow;
    bool mHidden = true;
    bool mShutDown = false;
};

} // namespace Sys

// Made by the graphics device's start-up and deleted by its shutdown; null
// while the device is not started.
extern Sys::CursorManager* theCursorManager;
