#include "app/Console.h"
#include "app/FXImage.h"
#include "app/FileHelpers.h"
#include "app/Font.h"
#include "app/Graphics.h"
#include "app/IOBuffer.h"
#include "app/List.h"
#include "app/ParseXML.h"
#include "app/Sprite.h"
#include "app/TextureSplatter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kMaxPages = 256;
// Glyph rectangles and metrics from a file beyond this are damage, not art.
constexpr float kMaxMetric = 16384.0f;
constexpr int kScriptAtlasSize = 256;

bool IsSane(float v)
{
    return std::isfinite(v) && std::fabs(v) <= kMaxMetric;
}

bool AreSane(std::initializer_list<float> values)
{
    return std::all_of(values.begin(), values.end(), IsSane);
}

void Warn(const char* what, const String& name)
{
    if (theConsole != nullptr) {
        theConsole->Printf("WARNING: %s [%s]", what, name.CStr());
    }
}

float ToFloat(const String& text)
{
    return float(std::atof(text.CStr()));
}

// A font-wide value; a damaged one counts as 0.
float SaneMetric(const String& text, const String& name)
{
    const float value = ToFloat(text);
    if (IsSane(value)) {
        return value;
    }
    Warn("Damaged metric in font", name);
    return 0.0f;
}

// The lists of the split helpers hold heap items the caller deletes.
template <typename T> std::vector<T> TakeItems(List& list)
{
    std::vector<T> items;
    for (int i = 0; i < list.Count(); ++i) {
        T* item = static_cast<T*>(list.Get(i));
        items.push_back(*item);
        delete item;
    }
    list.Clear();
    return items;
}

// The text between the first '(' at or after "from" and its matching ')',
// nesting counted and quoted characters passed over (a font may define the
// brackets themselves); "from" moves past the ')'.
std::string Enclosed(const std::string& text, size_t& from)
{
    const size_t open = text.find('(', from);
    if (open == std::string::npos) {
        from = text.size();
        return std::string();
    }
    int depth = 0;
    char quote = 0;
    for (size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth == 0) {
            from = i + 1;
            return text.substr(open + 1, i - open - 1);
        }
    }
    from = text.size();
    return text.substr(open + 1);
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find(' ', at), text.size());
        if (end > at) {
            words.push_back(text.substr(at, end - at));
        }
        at = end + 1;
    }
    return words;
}

std::vector<char> SplitChars(const std::string& text)
{
    String list(text.c_str());
    List items;
    list.SplitToChars(items);
    return TakeItems<char>(items);
}

// The base name's folder with its separator ("Fonts\"), or nothing.
std::string FolderOf(const String& name)
{
    const std::string text = name.CStr();
    const size_t last = text.find_last_of("\\/");
    if (last == std::string::npos || last == 0) {
        return std::string();
    }
    return text.substr(0, last) + "\\";
}

} // namespace

// What the script defines before its glyphs are built.
struct FontScript
{
    std::vector<char> chars;
    std::vector<int32_t> widths;
    std::vector<Rect> rects;
    std::vector<Point> offsets;
    Image layer;
    float fallbackSpace = 0.0f;
};

namespace {

void ReadDefine(const std::vector<std::string>& words, const std::string& statement, FontScript& lists)
{
    if (words.size() < 2) {
        return;
    }
    size_t from = statement.find(words[1]) + words[1].size();
    String list(Enclosed(statement, from).c_str());
    List items;
    const String kind(words[1].c_str());
    if (kind.CompareNoCase("CharList") == 0) {
        list.SplitToChars(items);
        for (char c : TakeItems<char>(items)) {
            lists.chars.push_back(c);
        }
    } else if (kind.CompareNoCase("WidthList") == 0) {
        list.SplitToInts(items);
        for (int32_t w : TakeItems<int32_t>(items)) {
            lists.widths.push_back(w);
        }
    } else if (kind.CompareNoCase("RectList") == 0) {
        list.SplitToRects(items);
        for (const Rect& r : TakeItems<Rect>(items)) {
            lists.rects.push_back(r);
        }
    } else if (kind.CompareNoCase("OffsetList") == 0) {
        list.SplitToPoints(items);
        for (const Point& p : TakeItems<Point>(items)) {
            lists.offsets.push_back(p);
        }
    }
}

void ReadLayerImage(const std::vector<std::string>& words, const String& fontName, FontScript& lists)
{
    if (words.size() < 3) {
        return;
    }
    const std::string& word = words[2];
    const size_t open = word.find('\'');
    if (open == std::string::npos) {
        return;
    }
    const size_t close = word.find('\'', open + 1);
    const std::string file =
        word.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    lists.layer.Load((FolderOf(fontName) + file).c_str());
}

} // namespace

void Font::Load(const String& name, bool keepColor)
{
    IOBuffer description;
    const String descriptionPath = name.Concat("\\font.description");
    if (FileExists(name.Concat(".font"))) {
        LoadFontXML(name);
    } else if (FileExists(descriptionPath) &&
               (description.Load(descriptionPath), description.GetSize() > 0)) {
        LoadDescription(name, description, keepColor);
    } else {
        LoadScript(name);
    }
    mLoaded = 1;
}

void Font::LoadDescription(const String& name, IOBuffer& file, bool keepColor)
{
    const int32_t pageCount = file.ReadInt();
    const int32_t glyphCount = file.ReadInt();
    if (file.HasError() || pageCount < 0 || pageCount > kMaxPages || glyphCount < 0) {
        Warn("Damaged font description", name);
        return;
    }
    for (int i = 0; i < pageCount; ++i) {
        AddPage(String::StringFormat("%s\\data%d", name, i), keepColor);
    }
    mLineHeight = 0.0f;
    // A file shorter than its count stops at the first incomplete record.
    for (int32_t i = 0; i < glyphCount; ++i) {
        uint8_t code = 0;
        file.ReadBytes(&code, 1);
        const int32_t page = file.ReadInt();
        const float x = file.ReadFloat();
        const float y = file.ReadFloat();
        const float w = file.ReadFloat();
        const float h = file.ReadFloat();
        const int32_t advance = file.ReadInt();
        const int32_t xOffset = file.ReadInt();
        const int32_t yOffset = file.ReadInt();
        if (file.HasError()) {
            break;
        }
        if (!AreSane({x, y, w, h, float(advance), float(xOffset), float(yOffset)})) {
            Warn("Damaged glyph in font description", name);
            continue;
        }
        mLineHeight = std::max(mLineHeight, h);
        AddGlyph(char(code), page, x, y, w, h, float(advance), float(xOffset), float(yOffset));
    }
}

void Font::LoadFontXML(const String& name)
{
    AddPage(name, false);
    ParseXML file;
    file.OpenFile(name.Concat(".font"));
    for (ParseXMLTag tag = file.NextTag(); !tag.empty; tag = file.NextTag()) {
        if (tag.name.CompareNoCase("YOFFSET") == 0) {
            mYOffset = SaneMetric(tag.content, name);
        } else if (tag.name.CompareNoCase("HEIGHT") == 0) {
            mLineHeight = SaneMetric(tag.content, name);
        } else if (tag.name.CompareNoCase("SPACE") == 0) {
            mSpaceWidth = SaneMetric(tag.content, name);
            mGlyphs[32].present = 1;
            mGlyphs[32].advance = mSpaceWidth;
        } else if (tag.name.CompareNoCase("CHAR") == 0) {
            ReadFontXMLChar(tag.content);
        }
    }
}

void Font::ReadFontXMLChar(const String& content)
{
    int code = -1;
    float width = 0.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    Rect r;
    ParseXML inner;
    inner.SetText(content.CStr());
    for (ParseXMLTag tag = inner.NextTag(); !tag.empty; tag = inner.NextTag()) {
        if (tag.name.CompareNoCase("ID") == 0) {
            code = std::atoi(tag.content.CStr());
        } else if (tag.name.CompareNoCase("WIDTH") == 0) {
            width = ToFloat(tag.content);
        } else if (tag.name.CompareNoCase("OFFSET") == 0) {
            tag.content.GetTwoNumbers(offsetX, offsetY);
        } else if (tag.name.CompareNoCase("RECT") == 0) {
            // Two corners, "x1,y1-x2,y2".
            const std::string text = tag.content.CStr();
            const size_t dash = std::min(text.find('-'), text.size());
            float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            String(text.substr(0, dash).c_str()).GetTwoNumbers(x1, y1);
            String(dash < text.size() ? text.substr(dash + 1).c_str() : "").GetTwoNumbers(x2, y2);
            r = Rect(x1, y1, x2 - x1, y2 - y1);
        }
    }
    if (code >= 0 && AreSane({r.x, r.y, r.w, r.h, width, offsetX, offsetY})) {
        AddGlyph(char(code & 0xFF), 0, r.x, r.y, r.w, r.h, width, offsetX - 1.0f, offsetY - 1.0f);
    }
}

void Font::LoadScript(const String& name)
{
    mLoaded = 0;
    TextureSplatter* savedAtlas = theGraphics.mActiveAtlas;
    theGraphics.SetAtlasLoading(true);
    IOBuffer file;
    file.Load(name.Concat(".txt"));
    if (file.GetSize() > 0) {
        RunScript(name, file);
    }
    theGraphics.SetAtlasLoading(false);
    theGraphics.mActiveAtlas = savedAtlas;
}

void Font::RunScript(const String& name, IOBuffer& file)
{
    FontScript lists;
    mSpaceWidth = 0.0f;
    for (String statement = file.ReadStatement(); !statement.IsEmpty(); statement = file.ReadStatement()) {
        const std::string text = statement.CStr();
        const std::vector<std::string> words = Words(text);
        const String command(words.empty() ? "" : words[0].c_str());
        if (command.CompareNoCase("Define") == 0) {
            ReadDefine(words, text, lists);
        } else if (command.CompareNoCase("LayerSetImage") == 0) {
            ReadLayerImage(words, name, lists);
        } else if (command.CompareNoCase("LayerSetCharWidths") == 0) {
            size_t from = 0;
            const std::vector<char> chars = SplitChars(Enclosed(text, from));
            const int width = std::atoi(Enclosed(text, from).c_str());
            if (!IsSane(float(width))) {
                Warn("Damaged character width in font script", name);
            } else if (!chars.empty()) {
                Glyph(chars[0]).advance = float(width);
                Glyph(chars[0]).present = 1;
                if (chars[0] == ' ') {
                    lists.fallbackSpace = float(width);
                }
            }
        }
    }
    if (theGraphics.mActiveAtlas == nullptr) {
        if (!theTextureSplatter.IsValid()) {
            theTextureSplatter.Create(kScriptAtlasSize, kScriptAtlasSize);
        }
        if (theGraphics.mUseAtlas) {
            theGraphics.mActiveAtlas = &theTextureSplatter;
        }
    }
    BuildScriptGlyphs(name, lists);
    if (mSpaceWidth == 0.0f) {
        mSpaceWidth = lists.fallbackSpace;
    }
}

void Font::BuildScriptGlyphs(const String& name, const FontScript& script)
{
    const std::vector<char>& chars = script.chars;
    const std::vector<int32_t>& widths = script.widths;
    const std::vector<Rect>& rects = script.rects;
    const std::vector<Point>& offsets = script.offsets;
    mLineHeight = 0.0f;
    std::vector<char> built;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (i >= widths.size() || i >= rects.size() || i >= offsets.size()) {
            continue;
        }
        const Rect& r = rects[i];
        if (!AreSane({r.x, r.y, r.w, r.h, offsets[i].x, offsets[i].y, float(widths[i])}) ||
            !Image::IsSizeAcceptable(int64_t(r.w) + 2, int64_t(r.h) + 2)) {
            Warn("Damaged glyph in font script", name);
            continue;
        }
        const char c = chars[i];
        if (c == ' ') {
            mSpaceWidth = float(widths[i]);
        }
        FontGlyph& glyph = Glyph(c);
        glyph.advance = float(widths[i]);
        glyph.present = 1;
        glyph.xOffset = offsets[i].x;
        glyph.yOffset = offsets[i].y;
        glyph.rect = r;
        mLineHeight = std::max(mLineHeight, r.h);
        glyph.image = CutGlyphImage(script.layer, r, glyph);
        if (std::find(built.begin(), built.end(), c) == built.end()) {
            built.push_back(c);
        }
    }
    // The largest glyphs are placed in the atlas first; equal areas keep their order.
    std::stable_sort(built.begin(), built.end(), [this](char a, char b) {
        return Glyph(a).rect.w * Glyph(a).rect.h > Glyph(b).rect.w * Glyph(b).rect.h;
    });
    for (char c : built) {
        FontGlyph& glyph = Glyph(c);
        Image& image = *glyph.image;
        glyph.sprite =
            std::make_unique<Sprite>(&image, Rect(0, 0, float(image.mWidth - 1), float(image.mHeight - 1)));
        glyph.sprite->mPointFilter = false;
    }
}

// The glyph's part of the layer image, white with its alpha, with a border
// of one pixel, cropped to its visible pixels from an even corner.
std::unique_ptr<Image> Font::CutGlyphImage(const Image& layer, const Rect& r, FontGlyph& glyph)
{
    FXImage cut;
    cut.Create(int(r.w) + 2, int(r.h) + 2, true);
    cut.PasteRect(layer, 1, 1, r);
    for (int p = 0; cut.mPixels != nullptr && p < cut.mWidth * cut.mHeight; ++p) {
        cut.mPixels[p] |= 0x00FFFFFFu;
    }
    glyph.xOffset = glyph.xOffset - 1.0f;
    glyph.yOffset = glyph.yOffset - 1.0f;
    const Rect bounds = cut.GetAlphaBounds();
    const float x0 = float(2 * int(bounds.x / 2.0f));
    const float y0 = float(2 * int(bounds.y / 2.0f));
    cut.Crop(Rect(x0, y0, bounds.x + bounds.w - x0 + 1.0f, bounds.y + bounds.h - y0 + 1.0f));
    glyph.xOffset += x0;
    glyph.yOffset += y0;
    return std::make_unique<Image>(cut);
}
