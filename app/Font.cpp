#include "app/Font.h"

#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Sprite.h"
#include "app/Texture.h"

#include <algorithm>
#include <string>

Font::Font() = default;

Font::~Font() = default;

void Font::AddGlyph(char c, int page, float x, float y, float w, float h, float advance, float xOffset,
                    float yOffset)
{
    FontGlyph& glyph = Glyph(c);
    if (glyph.present) {
        return;
    }
    if (c == ' ') {
        mSpaceWidth = advance;
        glyph.present = 1;
        return;
    }
    glyph.advance = advance;
    glyph.present = 1;
    if (page >= 0 && size_t(page) < mPages.size()) {
        glyph.sprite = std::make_unique<Sprite>(mPages[size_t(page)].get(), Rect(x, y, w, h));
    }
    glyph.xOffset = xOffset;
    glyph.yOffset = yOffset;
    glyph.image.reset();
    glyph.rect = Rect(x, y, w + 1.0f, h + 1.0f);
}

void Font::AddPage(const String& imageName, bool keepColor)
{
    Image image(imageName.CStr());
    const bool software = theGraphics.mSoftware;
    std::unique_ptr<Image> copy = software ? std::make_unique<Image>(image) : nullptr;
    if (!keepColor && image.mPixels != nullptr) {
        // Glyph art is drawn in the current colour: red times alpha is the coverage.
        for (int i = 0; i < image.mWidth * image.mHeight; ++i) {
            const uint32_t p = image.mPixels[i];
            const float red = float((p >> 16) & 0xFF) / 255.0f;
            const float alpha = float(p >> 24) / 255.0f;
            image.mPixels[i] = uint32_t(int(red * alpha * 255.0f)) << 24 | 0x00FFFFFFu;
        }
    }
    if (software) {
        image.Resample(int(float(image.mWidth) * theGraphics.mScaleX),
                       int(float(image.mHeight) * theGraphics.mScaleY));
    }
    auto texture = std::make_unique<Texture>(image);
    if (software) {
        texture->mWidth = int(float(texture->mWidth) / theGraphics.mScaleX + 0.5f);
        texture->mHeight = int(float(texture->mHeight) / theGraphics.mScaleY + 0.5f);
        mPageCopies.push_back(std::move(copy));
    }
    mPages.push_back(std::move(texture));
}

void Font::DrawGlyphs(const String& text, float x, float y, const Matrix* m)
{
    if (!mLoaded || text.IsEmpty()) {
        return;
    }
    Point& translation = theGraphics.mTranslation;
    translation.y += mYOffset;
    float penX = x;
    float penY = y;
    for (const char* p = text.CStr(); *p != '\0'; ++p) {
        const FontGlyph& glyph = Glyph(*p);
        if (*p == '\n') {
            penX = x;
            penY += mLineHeight;
            continue;
        }
        if (!glyph.present) {
            continue;
        }
        if (*p == ' ') {
            penX += mSpaceWidth;
            continue;
        }
        if (glyph.sprite != nullptr && m == nullptr) {
            glyph.sprite->Draw(penX + glyph.xOffset, penY + glyph.yOffset);
        } else if (glyph.sprite != nullptr) {
            Matrix turn = *m;
            turn.SetTranslation(0, 0, 0);
            Point centre;
            turn.TransformPoint(centre, penX + glyph.advance * 0.5f, penY + mLineHeight * 0.5f);
            Matrix place = *m;
            place.Translate(centre.x, centre.y, 0);
            glyph.sprite->DrawMatrix(place);
        }
        penX += glyph.advance;
    }
    translation.y -= mYOffset;
}

void Font::Draw(const String& text, float x, float y)
{
    DrawGlyphs(text, x, y, nullptr);
}

void Font::DrawCentered(const String& text, float x, float y)
{
    Draw(text, x - float(GetWidth(text) / 2), y);
}

void Font::DrawRight(const String& text, float x, float y)
{
    Draw(text, x - float(GetWidth(text)), y);
}

void Font::DrawMatrix(const String& text, const Matrix& m)
{
    DrawGlyphs(text, 0, 0, &m);
}

int Font::GetWidth(const String& text) const
{
    float running = 0.0f;
    float widest = 0.0f;
    for (const char* p = text.CStr(); mLoaded && *p != '\0'; ++p) {
        if (*p == '\n') {
            widest = std::max(widest, running);
            running = 0.0f;
        }
        if (*p == ' ') {
            running += mSpaceWidth;
        } else if (Glyph(*p).present) {
            running += Glyph(*p).advance;
        }
    }
    widest = std::max(widest, running);
    return int(widest + 0.5f);
}

Point Font::GetTextExtent(const String& text) const
{
    float penX = 0.0f;
    float lineBottom = mLineHeight;
    Point extent(0, 0);
    for (const char* p = text.CStr(); mLoaded && *p != '\0'; ++p) {
        if (*p == '\n') {
            penX = 0.0f;
            lineBottom += mLineHeight;
        }
        if (*p == ' ') {
            penX += mSpaceWidth;
        } else if (Glyph(*p).present) {
            penX += Glyph(*p).advance;
            extent.x = std::max(extent.x, penX);
            extent.y = std::max(extent.y, lineBottom);
        }
    }
    const int length = text.Length();
    if (mLoaded && length > 0) {
        // The last glyph's picture may reach past its advance.
        const FontGlyph& last = Glyph(text.CharAt(length - 1));
        if (last.present && last.image != nullptr) {
            const int overhang = last.image->mWidth - int(last.advance);
            if (overhang > 0) {
                extent.x += float(overhang);
            }
        }
    }
    return extent;
}

namespace {

size_t FindBreak(const std::string& text, size_t from, size_t downTo)
{
    for (size_t k = from; k > downTo; --k) {
        if (text[k - 1] == ' ' || text[k - 1] == '-') {
            return k - 1;
        }
    }
    return std::string::npos;
}

} // namespace

// Line breaks go at the last blank or hyphen of a line that grows too wide.
// A word with neither gets its break just before the character that does not
// fit (never in place of it), and every line keeps at least one character.
String Font::WrapText(const String& text, float width) const
{
    if (!mLoaded) {
        return String();
    }
    std::string s = text.CStr();
    float lineWidth = 0.0f;
    size_t lineStart = 0; // first character after the last break
    bool justBroke = false;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        float w = 0.0f;
        if (c == '\n') {
            lineWidth = 0.0f;
            lineStart = i + 1;
        }
        if (c == ' ' && justBroke) {
            const size_t end = s.find_first_not_of(' ', i);
            s.erase(i, end == std::string::npos ? std::string::npos : end - i);
            continue;
        }
        if (c == ' ') {
            w = mSpaceWidth;
        } else if (Glyph(c).present) {
            w = Glyph(c).advance;
            justBroke = false;
        }
        if (lineWidth + w > width && i > lineStart) {
            const size_t at = FindBreak(s, i, lineStart);
            lineWidth = 0.0f;
            justBroke = true;
            if (at == std::string::npos) {
                s.insert(i, 1, '\n');
                lineStart = i + 1;
                i = lineStart;
                continue;
            }
            s[at] = '\n';
            lineStart = at + 1;
            lineWidth = w;
            i = lineStart;
            continue;
        }
        lineWidth += w;
        ++i;
    }
    return String(s.c_str());
}

void Font::GetCharPositions(const String& text, Point* out) const
{
    if (!mLoaded || out == nullptr) {
        return;
    }
    Point pen(0, 0);
    const int length = text.Length();
    for (int i = 0; i < length; ++i) {
        const char c = text.CharAt(i);
        const FontGlyph& glyph = Glyph(c);
        if (c == '\n') {
            pen.x = 0.0f;
            pen.y += mLineHeight;
            out[i] = Point(0, pen.y);
        } else if (c == ' ') {
            out[i] = pen;
            pen.x += mSpaceWidth;
        } else {
            out[i] = Point(pen.x + glyph.xOffset, pen.y + glyph.yOffset);
            pen.x += glyph.advance;
        }
    }
}

int Font::GetCharWidth(char c) const
{
    if (c == ' ') {
        return int(mSpaceWidth);
    }
    return Glyph(c).present ? int(Glyph(c).advance) : 0;
}

int Font::GetCharAdvance(char c) const
{
    return int(Glyph(c).advance);
}

void Font::GetCharOffset(Point& out, char c) const
{
    out = Point(Glyph(c).xOffset, Glyph(c).yOffset);
}

Image* Font::GetCharImage(char c) const
{
    return Glyph(c).present ? Glyph(c).image.get() : nullptr;
}

void Font::AddSpacing(int dx, int dy)
{
    for (FontGlyph& glyph : mGlyphs) {
        if (glyph.present) {
            glyph.advance += float(dx);
        }
    }
    mSpaceWidth += float(dx);
    mLineHeight += float(dy);
}
