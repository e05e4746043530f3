#include "app/ClumpFile.h"

#include "app/FXImage.h"
#include "app/ParseXML.h"
#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

// atoi's reading (leading blanks skipped, digits up to the first other
// byte, nothing gives 0), without its overflow.
int ReadInt(const std::string& text)
{
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (value < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return int(value);
}

// Truncated toward zero; sizes no picture can have count as 0.
int ToInt(float v)
{
    return v > -1.0e9f && v < 1.0e9f ? int(v) : 0;
}

ClumpFile::Part ReadRect(const String& content, int number)
{
    int values[4] = {0, 0, 0, 0};
    const std::string text = content.CStr();
    size_t at = 0;
    for (int i = 0; i < 4 && at <= text.size(); ++i) {
        const size_t comma = text.find(',', at);
        values[i] = ReadInt(text.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
        at = comma == std::string::npos ? text.size() + 1 : comma + 1;
    }
    return ClumpFile::Part{number, values[0], values[1], values[2], values[3]};
}

} // namespace

bool ClumpFile::Part::ClipTo(int imageWidth, int imageHeight)
{
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t(x) + w, imageWidth);
    const int64_t bottom = std::min<int64_t>(int64_t(y) + h, imageHeight);
    if (right <= left || bottom <= top) {
        return false;
    }
    x = int(left);
    y = int(top);
    w = int(right - left);
    h = int(bottom - top);
    return true;
}

bool ClumpFile::Part::Cut(const Image& whole, FXImage& piece)
{
    if (!ClipTo(whole.mWidth, whole.mHeight)) {
        return false;
    }
    piece.CopyRect(whole, x, y, w, h);
    piece.BleedEdges();
    return true;
}

bool ClumpFile::Load(const String& path)
{
    std::vector<uint8_t> bytes;
    if (!Platform::Files::ReadWhole(path.CStr(), bytes)) {
        return false;
    }
    Parse(std::string(bytes.begin(), bytes.end()).c_str());
    return true;
}

void ClumpFile::Parse(const char* text)
{
    ParseXML file;
    file.SetText(text);
    for (ParseXMLTag tag = file.NextTag(); !tag.empty; tag = file.NextTag()) {
        if (tag.name.CompareNoCase("CLUMP") == 0) {
            ParseClump(tag.content);
        }
    }
}

void ClumpFile::ParseClump(const String& content)
{
    ParseXML clump;
    clump.SetText(content.CStr());
    int number = 0;
    for (ParseXMLTag tag = clump.NextTag(); !tag.empty; tag = clump.NextTag()) {
        if (tag.name.CompareNoCase("SIZE") == 0) {
            float w = 0.0f;
            float h = 0.0f;
            tag.content.GetTwoNumbers(w, h);
            width = ToInt(w);
            height = ToInt(h);
            hasSize = true;
        } else if (tag.name.CompareNoCase("RECT") == 0) {
            parts.push_back(ReadRect(tag.content, number++));
        }
    }
}
