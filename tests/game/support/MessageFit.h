#pragma once
// Where a text ends in the game's message box, measured with the box's own
// font and layout.

#include "app/Font.h"
#include "app/Sprite.h"
#include "game/InfoDialog.h"

#include <algorithm>
#include <string>

// How far the lowest glyph of the text's last line, wrapped and placed as
// the box places it, lies below the top of the box's buttons: negative when
// the text ends above them.
inline float BelowButtonsTop(const Font& font, const String& text)
{
    const std::string lines = font.WrapText(text, InfoDialog::kWrapWidth).CStr();
    const size_t lastBreak = lines.rfind('\n');
    const auto breaks = std::count(lines.begin(), lines.end(), '\n');
    const float lastTop = InfoDialog::kTextTop + font.mYOffset + float(breaks) * font.mLineHeight;
    float bottom = lastTop;
    for (const char c : lines.substr(lastBreak == std::string::npos ? 0 : lastBreak + 1)) {
        const FontGlyph& glyph = font.mGlyphs[static_cast<uint8_t>(c)];
        if (glyph.sprite != nullptr)
            bottom = std::max(bottom, lastTop + glyph.yOffset + float(glyph.sprite->mHeight));
    }
    return bottom - float(InfoDialog::kButtonY);
}
