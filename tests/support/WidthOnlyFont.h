#pragma once

#include "app/Font.h"

// A font of glyphs without pictures: every character of "characters" is
// present with the given advance, the space included when listed. Text and
// caret arithmetic of controls can be checked with it, without a display.
class WidthOnlyFont : public Font
{
  public:
    WidthOnlyFont(const char* characters, float advance, float lineHeight = 20.0f)
    {
        mLoaded = 1;
        mLineHeight = lineHeight;
        for (const char* c = characters; *c != '\0'; ++c)
            AddGlyph(*c, -1, 0, 0, advance, lineHeight, advance, 0, 0);
    }

    // Another character with an advance of its own.
    void Add(char c, float advance) { AddGlyph(c, -1, 0, 0, advance, mLineHeight, advance, 0, 0); }
};
