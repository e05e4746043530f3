#pragma once

#include "tools/assetgen/AssetWriter.h"
#include "tools/assetgen/TextRenderer.h"

#include <string>

namespace AssetGen {

// Bitmap fonts in the three forms the game's font loader reads. Glyphs are
// white; their coverage is in the alpha (and red) channel, so the game can
// draw them in any colour.
class FontWriter
{
  public:
    FontWriter(AssetWriter& out, Typeface face, int pixelSize);

    // "<name>.font" tag text with the page "<name>.png".
    void WriteTagForm(const std::string& name);
    // "<name>\font.description" with the page "<name>\data0.png".
    void WriteBinaryForm(const std::string& name);
    // "<name>.txt" script with its layer picture beside it.
    void WriteScriptForm(const std::string& name);

    int LineHeight() const { return mAscender + mDescender; }
    // The line height the tag form gives the game: the glyphs' height and a
    // face's usual leading (about 0.3 em).
    static int LineStep(Typeface face, int pixelSize);

  private:
    struct Placed
    {
        unsigned char code;
        GlyphImage glyph;
        int x, y; // of the glyph bitmap on the page
    };
    // Packs the glyphs in rows; cellHeight 0 packs each at its own height.
    Canvas Pack(const std::string& chars, int cellHeight, std::vector<Placed>& placed) const;

    AssetWriter& mOut;
    Typeface mFace;
    int mSize;
    int mAscender;
    int mDescender;
};

} // namespace AssetGen
