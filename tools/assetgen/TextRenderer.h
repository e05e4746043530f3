#pragma once

#include "tools/assetgen/Mask.h"

#include <map>
#include <string>

namespace AssetGen {

enum class Typeface {
    Heavy,     // headings, button labels, the game's fonts
    Condensed, // long captions
    Regular,   // body text on panels
};

// Coverage of one rendered glyph and where it sits on the pen line.
struct GlyphImage
{
    Mask mask;
    int left = 0;    // from the pen to the first column
    int top = 0;     // from the baseline up to the first row
    int advance = 0; // pixels
};

// Coverage of a line of text, with the baseline at row `baseline`.
struct TextBlock
{
    Mask mask;
    int baseline = 0;
};

// Text drawn with FreeType from the DejaVu faces installed with the system.
class TextRenderer
{
  public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    GlyphImage Glyph(Typeface face, int pixelSize, unsigned char c);
    int Ascender(Typeface face, int pixelSize);
    int Descender(Typeface face, int pixelSize); // positive, below the baseline
    int Measure(Typeface face, int pixelSize, const std::string& text);
    TextBlock Line(Typeface face, int pixelSize, const std::string& text, int pad);

  private:
    void* FaceFor(Typeface face, int pixelSize);

    void* mLibrary = nullptr;
    std::map<Typeface, void*> mFaces;
};

} // namespace AssetGen
