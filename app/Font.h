#pragma once

#include "app/Matrix.h"
#include "app/Point.h"
#include "app/Rect.h"
#include "app/String.h"

#include <cstdint>
#include <memory>
#include <vector>

class Image;
class IOBuffer;
struct FontScript;
class Sprite;
class Texture;

// One character of a font. A present glyph may have no sprite (the space,
// or a width-only definition): it advances the pen and draws nothing.
struct FontGlyph
{
    uint8_t present = 0;
    float advance = 0.0f;
    float xOffset = 0.0f;
    float yOffset = 0.0f;
    std::unique_ptr<Sprite> sprite;
    // White glyph picture with its alpha; only the script form keeps one.
    std::unique_ptr<Image> image;
    Rect rect;
};

// A bitmap font of up to 256 glyphs (one byte is one character), loaded by
// base name from "%s.font", "%s\font.description" or the "%s.txt" script.
class Font
{
  public:
    Font();
    virtual ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    void Load(const String& name, bool keepColor = false);
    void Draw(const String& text, float x, float y);
    void DrawCentered(const String& text, float x, float y);
    void DrawRight(const String& text, float x, float y);
    void DrawMatrix(const String& text, const Matrix& m);

    int GetWidth(const String& text) const;
    Point GetTextExtent(const String& text) const;
    String WrapText(const String& text, float width) const;
    // One pen position per character; out has room for text.Length() points.
    void GetCharPositions(const String& text, Point* out) const;
    int GetCharWidth(char c) const;
    int GetCharAdvance(char c) const;
    void GetCharOffset(Point& out, char c) const;
    Image* GetCharImage(char c) const;

    void AddSpacing(int dx, int dy);
    void AddGlyph(char c, int page, float x, float y, float w, float h, float advance, float xOffset,
                  float yOffset);
    void AddPage(const String& imageName, bool keepColor);

    std::vector<std::unique_ptr<Texture>> mPages;
    // Software renderer: each page as loaded, before conversion and scaling.
    std::vector<std::unique_ptr<Image>> mPageCopies;
    float mSpaceWidth = 0.0f;
    float mLineHeight = 0.0f;
    float mYOffset = 0.0f;
    FontGlyph mGlyphs[256];
    uint8_t mLoaded = 0;

  private:
    FontGlyph& Glyph(char c) { return mGlyphs[static_cast<uint8_t>(c)]; }
    const FontGlyph& Glyph(char c) const { return mGlyphs[static_cast<uint8_t>(c)]; }
    void LoadFontXML(const String& name);
    void LoadDescription(const String& name, IOBuffer& file, bool keepColor);
    void ReadFontXMLChar(const String& content);
    void LoadScript(const String& name);
    void RunScript(const String& name, IOBuffer& file);
    void BuildScriptGlyphs(const String& name, const FontScript& script);
    static std::unique_ptr<Image> CutGlyphImage(const Image& layer, const Rect& r, FontGlyph& glyph);
    void DrawGlyphs(const String& text, float x, float y, const Matrix* m);
};
