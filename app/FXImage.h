#pragma once

#include "app/Color.h"
#include "app/Image.h"
#include "app/Rect.h"
#include "app/String.h"

class Font;

// An image with pixel operations done on the CPU: fills, alpha-blended
// composition, rectangle copies, text from a font's glyph images, cropping,
// borders and the edge bleed applied before an image becomes a texture.
class FXImage : public Image
{
  public:
    FXImage() = default;
    ~FXImage() override = default;

    void Fill(const Color& c, bool withAlpha);
    void DrawImage(const Image& src, int x, int y, Rect srcRect, const Color& c);
    void DrawImageAt(const Image& src, int x, int y, const Color& c);
    void PasteRect(const Image& src, int x, int y, Rect srcRect);
    void BlendPixel(int x, int y, const Color& c);
    // Both edges included: a w x h rectangle paints w + 1 columns, h + 1 rows.
    void FillRect(Rect r, const Color& c);
    Rect GetAlphaBounds() const;
    // An all-zero rectangle crops to the visible pixels.
    void Crop(Rect r);
    void AddBorder(int n, const Color& c);
    // A one-pixel frame repeating the outermost pixels, so that filtering at
    // a texture's edge never pulls in a neighbour's texels.
    void BleedEdges();
    void DrawText(const String& text, Font* font, int x, int y, const Color& c);
    void CreateFromText(const String& text, Font* font, int border, bool raw);

  private:
    bool IsOutside(const Image& src, int x, int y) const;
    void DrawGlyph(const Image& glyph, int x, int y, const Color& c, bool tinted);
    void PasteGlyph(const Image& glyph, int x, int y);
};
