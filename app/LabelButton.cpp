#include "app/LabelButton.h"

#include "app/Color.h"
#include "app/Font.h"
#include "app/Graphics.h"
#include "app/Image.h"

#include <cstdint>

namespace {
struct Face
{
    uint32_t fill;
    uint32_t edge;
};

// Normal, hover, pressed, disabled: the order of a button's four frames.
constexpr Face kFaces[] = {
    {0xFFE1E1E1, 0xFF707070}, {0xFFE5F1FB, 0xFF0078D7}, {0xFFCCE4F7, 0xFF005499}, {0xFFCCCCCC, 0xFFBFBFBF}};

const Color kLabel{0, 0, 0, 1};
const Color kDisabledLabel{0.63f, 0.63f, 0.63f, 1};

void DrawFace(Image& strip, int frame, int width, int height)
{
    const Face& face = kFaces[frame];
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            *strip.GetPixelPtr(frame * width + x, y) = edge ? face.edge : face.fill;
        }
    }
}
} // namespace

void LabelButton::Place(float x, float y, int width, int height)
{
    Image strip;
    strip.Create(width * 4, height, true);
    for (int frame = 0; frame < 4; ++frame)
        DrawFace(strip, frame, width, height);
    faces.CreateFromImage(&strip, 4);
    SetStrip(&faces);
    SetHitRect(static_cast<int>(x), static_cast<int>(y), width, height);
    hitMode = HitRectangle;
}

void LabelButton::Draw()
{
    Button::Draw();
    if (font == nullptr)
        return;
    theGraphics.SetColor(disabled ? kDisabledLabel : kLabel);
    font->DrawCentered(label, rect.w / 2, (rect.h - font->mLineHeight) / 2);
}
