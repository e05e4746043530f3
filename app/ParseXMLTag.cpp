#include "app/ParseXMLTag.h"

#include <string>
#include <vector>

namespace {
// Items of an attribute text: separated by blanks outside quotes. An item
// still inside an open quote at the end is never closed and so not counted.
std::vector<std::string> SplitItems(const char* text)
{
    std::vector<std::string> items;
    std::string item;
    bool inSingle = false;
    bool inDouble = false;
    for (const char* p = text;; ++p) {
        char c = *p;
        if (c == '\'' && !inDouble)
            inSingle = !inSingle;
        else if (c == '"' && !inSingle)
            inDouble = !inDouble;
        else if (!inSingle && !inDouble && (c == ' ' || c == 0)) {
            if (!item.empty())
                items.push_back(item);
            item.clear();
        }
        if (c == 0)
            return items;
        if (c != ' ' || inSingle || inDouble)
            item.push_back(c);
    }
}

bool Quoted(const std::string& value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front();
}
} // namespace

ParseXMLTag& ParseXMLTag::Assign(const ParseXMLTag& other)
{
    *this = other;
    return *this;
}

int ParseXMLTag::CountAttributes() const
{
    return int(SplitItems(attributes.CStr()).size());
}

ParseXMLTag ParseXMLTag::GetAttribute(int index) const
{
    ParseXMLTag attribute;
    std::vector<std::string> items = SplitItems(attributes.CStr());
    if (index < 0 || index >= int(items.size()))
        return attribute;
    const std::string& item = items[size_t(index)];
    size_t equals = item.find('=');
    std::string value = equals == std::string::npos ? std::string() : item.substr(equals + 1);
    if (Quoted(value))
        value = value.substr(1, value.size() - 2);
    attribute.name = String(item.substr(0, equals).c_str());
    attribute.content = String(value.c_str());
    attribute.empty = false;
    return attribute;
}
