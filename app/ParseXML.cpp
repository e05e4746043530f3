#include "app/ParseXML.h"

#include "platform/Files.h"

#include <cctype>
#include <cstdint>
#include <vector>

namespace {
bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Line breaks and other control bytes vanish from a content; a NUL is kept
// (it ends the text once the content becomes a String).
bool KeptInContent(char c)
{
    unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 32 || byte == 0;
}
} // namespace

void ParseXML::SetText(const char* text)
{
    Close();
    input = text ? text : "";
    fromFile = false;
    atEnd = false;
}

void ParseXML::OpenFile(const String& path)
{
    Close();
    std::vector<uint8_t> bytes;
    if (!Platform::Files::ReadWhole(path.CStr(), bytes))
        return;
    input.assign(bytes.begin(), bytes.end());
    fromFile = true;
    atEnd = false;
}

void ParseXML::Close()
{
    input.clear();
    input.shrink_to_fit();
    position = 0;
    fromFile = false;
    atEnd = true;
}

char ParseXML::GetChar()
{
    if (atEnd)
        return 0;
    if (position >= input.size() || (!fromFile && input[position] == 0)) {
        atEnd = true;
        return 0;
    }
    return input[position++];
}

ParseXMLTag ParseXML::NextTag()
{
    ParseXMLTag tag;
    while (!atEnd && GetChar() != '<') {
    }
    if (atEnd)
        return tag;
    std::string name;
    std::string attributes;
    if (!ReadOpeningTag(name, attributes))
        return tag;
    tag.content = String(ReadContent(name).c_str());
    tag.name = String(name.c_str());
    if (!attributes.empty())
        tag.attributes = String(attributes.c_str());
    tag.empty = false;
    return tag;
}

// The name runs to the first blank; after it everything is attribute text,
// except blanks before the attribute text starts.
bool ParseXML::ReadOpeningTag(std::string& name, std::string& attributes)
{
    bool inName = true;
    for (;;) {
        char c = GetChar();
        if (atEnd)
            return false;
        if (c == '>')
            return true;
        if (inName && c == ' ')
            inName = false;
        else if (inName)
            name.push_back(c);
        else if (c != ' ' || !attributes.empty())
            attributes.push_back(c);
    }
}

// The content ends at the first closing tag of the same name (any case) or at
// the end of the input; inner tags of other names stay in it verbatim.
std::string ParseXML::ReadContent(const std::string& name)
{
    const std::string closing = "/" + name;
    std::string content;
    std::string inner;
    size_t innerStart = 0;
    bool inInner = false;
    for (;;) {
        char c = GetChar();
        if (atEnd)
            return content;
        if (c == '<') {
            inInner = true;
            inner.clear();
            innerStart = content.size();
        } else if (c == '>' && inInner) {
            if (EqualNoCase(inner, closing)) {
                content.resize(innerStart);
                return content;
            }
            inInner = false;
        } else if (inInner && KeptInContent(c) && inner.size() <= closing.size()) {
            // Text longer than the closing pattern can no longer match it.
            inner.push_back(c);
        }
        if (KeptInContent(c))
            content.push_back(c);
    }
}
