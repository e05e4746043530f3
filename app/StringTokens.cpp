#include "app/App.h"
#include "app/List.h"
#include "app/ParseXML.h"
#include "app/Point.h"
#include "app/Rect.h"
#include "app/String.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {
// atoi's reading, held inside the int32 range instead of overflowing.
int32_t ToInt32(const char* text)
{
    long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int32_t>(std::clamp<long long>(value, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
}

float ToFloat(const String& text)
{
    return static_cast<float>(std::atof(text.CStr()));
}

// Tracks quotes and parentheses: a separator counts only outside both.
class QuoteState
{
  public:
    bool Outside() const { return !mSingle && !mDouble && mDepth == 0; }
    void Step(char c)
    {
        if (c == '\'' && !mDouble) {
            mSingle = !mSingle;
        } else if (c == '"' && !mSingle) {
            mDouble = !mDouble;
        } else if (!mSingle && !mDouble && c == '(') {
            mDepth++;
        } else if (!mSingle && !mDouble && c == ')') {
            mDepth--;
        }
    }

  private:
    bool mSingle = false;
    bool mDouble = false;
    int mDepth = 0;
};

bool ApplicationQuitting()
{
    return theApp && theApp->quit;
}
} // namespace

String String::TokenFrom(char separator, bool keepSeparator, bool quoted)
{
    String token;
    if (mTokenCursor < 0 || mTokenCursor >= mLength) {
        return token;
    }
    QuoteState state;
    int end = mTokenCursor;
    while (end < mLength && !(mData[end] == separator && (!quoted || state.Outside()))) {
        state.Step(mData[end]);
        end++;
    }
    bool atSeparator = end < mLength;
    int tokenEnd = (atSeparator && keepSeparator) ? end + 1 : end;
    token.Rebuild(mData + mTokenCursor, tokenEnd - mTokenCursor);
    mTokenCursor = atSeparator ? end + 1 : end;
    return token;
}

String String::FirstToken(char separator, bool keepSeparator)
{
    mTokenCursor = mData ? 0 : -1;
    return TokenFrom(separator, keepSeparator, false);
}

String String::NextToken(char separator, bool keepSeparator)
{
    return TokenFrom(separator, keepSeparator, false);
}

String String::FirstTokenQuoted(char separator, bool keepSeparator)
{
    mTokenCursor = mData ? 0 : -1;
    return TokenFrom(separator, keepSeparator, true);
}

String String::NextTokenQuoted(char separator, bool keepSeparator)
{
    return TokenFrom(separator, keepSeparator, true);
}

String String::Enclosed(char open, char close, bool keepBrackets, int from)
{
    String result;
    int start = from;
    while (start < mLength && mData[start] != open) {
        start++;
    }
    if (start >= mLength) {
        return result;
    }
    int depth = 1;
    int end = start + 1;
    for (; end < mLength; end++) {
        if (mData[end] == close && (open == close || --depth == 0)) {
            break;
        }
        if (mData[end] == open && open != close) {
            depth++;
        }
    }
    if (end >= mLength) {
        mTokenCursor = -1;
        return result;
    }
    mTokenCursor = end;
    int first = keepBrackets ? start : start + 1;
    int last = keepBrackets ? end + 1 : end;
    result.Rebuild(mData + first, last - first);
    return result;
}

String String::FirstEnclosed(char open, char close, bool keepBrackets)
{
    if (!mData) {
        return String();
    }
    return Enclosed(open, close, keepBrackets, 0);
}

String String::NextEnclosed(char open, char close, bool keepBrackets)
{
    if (mTokenCursor < 0) {
        return String();
    }
    // The cursor rests on the last closing byte; with equal brackets that
    // byte must not open the next group.
    int from = mTokenCursor;
    if (from < mLength && mData[from] == close) {
        from++;
    }
    return Enclosed(open, close, keepBrackets, from);
}

String String::TagsToLines() const
{
    String lines;
    ParseXML parser;
    parser.SetText(CStr());
    for (ParseXMLTag tag = parser.NextTag(); !tag.empty; tag = parser.NextTag()) {
        String line = String::StringFormat("<%s>%s<\\%s>\r\n", tag.name, tag.content, tag.name);
        lines.AppendString(line);
    }
    return lines;
}

void String::SplitToChars(List& out)
{
    for (String item = FirstTokenQuoted(','); !item.IsEmpty(); item = NextTokenQuoted(',')) {
        // A quit during loading ends the split; the loader then finishes and
        // the main loop ends normally.
        if (ApplicationQuitting()) {
            return;
        }
        item.TrimLeft();
        char quote = item.CharAt(0);
        out.Add(new char(item.FirstEnclosed(quote, quote).CharAt(0)));
    }
}

void String::SplitToInts(List& out)
{
    for (String item = FirstTokenQuoted(','); !item.IsEmpty(); item = NextTokenQuoted(',')) {
        item.TrimLeft();
        out.Add(new int32_t(ToInt32(item.CStr())));
    }
}

void String::SplitToPoints(List& out)
{
    for (String group = FirstEnclosed('(', ')'); !group.IsEmpty(); group = NextEnclosed('(', ')')) {
        float x = ToFloat(group.FirstToken(','));
        float y = ToFloat(group.NextToken(','));
        out.Add(new Point(x, y));
    }
}

void String::SplitToRects(List& out)
{
    for (String group = FirstEnclosed('(', ')'); !group.IsEmpty(); group = NextEnclosed('(', ')')) {
        float x = ToFloat(group.FirstToken(','));
        float y = ToFloat(group.NextToken(','));
        float w = ToFloat(group.NextToken(','));
        float h = ToFloat(group.NextToken(','));
        out.Add(new Rect(x, y, w, h));
    }
}
