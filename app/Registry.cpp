#include "app/Registry.h"

#include "app/IOBuffer.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <string>

namespace {
// A line break inside a key or value would split the entry on the next
// load; a blank takes its place.
String OnOneLine(const String& text)
{
    std::string line = text.CStr();
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return String(line.c_str());
}

// The leading number of the text as atoi reads it, limited to the int32
// range instead of overflowing.
int32_t LeadingInt(const char* text)
{
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    int64_t value = 0;
    while (std::isdigit(static_cast<unsigned char>(*text))) {
        value = value * 10 + (*text++ - '0');
        if (value > int64_t(INT32_MAX) + 1)
            value = int64_t(INT32_MAX) + 1;
    }
    if (negative)
        return int32_t(-value);
    return int32_t(value > INT32_MAX ? INT32_MAX : value);
}
} // namespace

Registry::~Registry()
{
    Clear();
}

void Registry::SetKey(const char* text)
{
    key = text ? text : "";
}

void Registry::Load(const String& path)
{
    if (!entries.empty())
        Clear();
    file = path;
    IOBuffer buffer;
    buffer.SetKey(key.c_str());
    buffer.Load(path);
    while (buffer.GetCursor() < buffer.GetSize()) {
        String line = buffer.ReadLine();
        if (line.IsEmpty())
            break;
        int equals = line.FindChar('=');
        if (equals < 0)
            continue;
        Append(line.Mid(0, equals), line.Mid(equals + 1, line.Length() - equals - 1));
    }
}

bool Registry::Save()
{
    if (noSave || file.IsEmpty())
        return true;
    IOBuffer buffer;
    buffer.SetKey(key.c_str());
    for (const auto& entry : entries) {
        buffer.WriteBytes(entry->key.CStr(), entry->key.Length());
        buffer.WriteBytes("=", 1);
        buffer.WriteBytes(entry->value.CStr(), entry->value.Length());
        buffer.WriteBytes("\r\n", 2);
    }
    return buffer.Save(file);
}

void Registry::Clear()
{
    Save();
    file = String();
    entries.clear();
}

RegistryEntry* Registry::Find(const String& name)
{
    for (const auto& entry : entries) {
        if (entry->key.CompareNoCase(name) == 0)
            return entry.get();
    }
    return nullptr;
}

void Registry::Append(const String& name, const String& value)
{
    entries.push_back(std::make_unique<RegistryEntry>(RegistryEntry{name, value}));
}

void Registry::SetString(const String& name, const String& text)
{
    RegistryEntry* entry = Find(name);
    if (!entry) {
        Append(OnOneLine(name), String());
        entry = entries.back().get();
    }
    entry->value = OnOneLine(text);
}

void Registry::SetInt(const String& name, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%d", value);
    SetString(name, text);
}

void Registry::SetFloat(const String& name, float value)
{
    // "%f" of a huge float runs to 40-odd digits.
    char text[64];
    std::snprintf(text, sizeof(text), "%f", double(value));
    SetString(name, text);
}

void Registry::SetBool(const String& name, int value)
{
    SetString(name, value ? "true" : "false");
}

void Registry::SetByteArray(const String& name, const int8_t* bytes, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(int(bytes[i]));
    }
    SetString(name, text.c_str());
}

String Registry::GetString(const String& name)
{
    RegistryEntry* entry = Find(name);
    return entry ? entry->value : String();
}

int32_t Registry::GetInt(const String& name)
{
    RegistryEntry* entry = Find(name);
    return entry ? LeadingInt(entry->value.CStr()) : 0;
}

bool Registry::GetBool(const String& name)
{
    RegistryEntry* entry = Find(name);
    return entry && entry->value.ToBool();
}

void Registry::GetByteArray(const String& name, int8_t* bytes, int max)
{
    RegistryEntry* entry = Find(name);
    if (!entry)
        return;
    std::string text = entry->value.CStr();
    size_t start = 0;
    for (int stored = 0; stored < max; ++stored) {
        size_t end = text.find(',', start);
        std::string item = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (item.empty())
            return;
        bytes[stored] = int8_t(uint8_t(LeadingInt(item.c_str())));
        if (end == std::string::npos)
            return;
        start = end + 1;
    }
}
