#include "app/IOBuffer.h"

#include "app/FileProblems.h"
#include "platform/Files.h"

#include <climits>
#include <cstring>

namespace {
constexpr uint8_t kCR = 13;
constexpr uint8_t kLF = 10;

// Bytes 128..255 count as negative here, as they do for the signed char of
// the original text tools: they are dropped like control characters.
int SignedByte(uint8_t byte)
{
    return int(int8_t(byte));
}
} // namespace

// Every file the game keeps is read and written here: a file found there
// but unreadable is told and kept, never written over in place of what it
// holds.
bool IOBuffer::Load(const String& path)
{
    const Platform::Files::Outcome read = Platform::Files::ReadFile(path.CStr(), data);
    if (read.failure != Platform::Files::Failure::None && read.failure != Platform::Files::Failure::Missing)
        FileProblems::ReportUnreadable(path.CStr(), read);
    if (data.size() > size_t(INT32_MAX))
        data.clear();
    ApplyKey(data);
    cursor = 0;
    error = false;
    return read.failure == Platform::Files::Failure::None;
}

bool IOBuffer::Save(const String& path) const
{
    if (path.IsEmpty())
        return false;
    if (!FileProblems::MayReplace(path.CStr()))
        return false;
    // The buffer itself stays readable: only the bytes on disk are scrambled.
    std::vector<uint8_t> bytes = data;
    ApplyKey(bytes);
    const Platform::Files::Outcome written = Platform::Files::Replace(path.CStr(), bytes.data(), bytes.size());
    if (written.failure != Platform::Files::Failure::None)
        FileProblems::ReportUnwritable(path.CStr(), written);
    return written.failure == Platform::Files::Failure::None;
}

void IOBuffer::SetKey(const char* text)
{
    key = text ? text : "";
}

void IOBuffer::ApplyKey(std::vector<uint8_t>& bytes) const
{
    if (key.empty())
        return;
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] ^= uint8_t(key[i % key.size()]);
}

void IOBuffer::Grow(int32_t count)
{
    if (count > 0 && int64_t(cursor) + count > GetSize())
        data.resize(size_t(cursor) + size_t(count));
}

void IOBuffer::WriteBytes(const void* source, int32_t count)
{
    if (count <= 0)
        return;
    Grow(count);
    std::memcpy(data.data() + cursor, source, size_t(count));
    cursor += count;
}

void IOBuffer::WriteInt(int32_t value)
{
    uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    WriteBytes(bytes, 4);
}

void IOBuffer::WriteFloat(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    WriteInt(int32_t(bits));
}

void IOBuffer::WriteChar(uint8_t value)
{
    WriteBytes(&value, 1);
}

void IOBuffer::WriteBool(int value)
{
    WriteChar(value == 1 ? 1 : 0);
}

void IOBuffer::WriteString(const String& text)
{
    WriteInt(text.Length() + 1);
    WriteBytes(text.CStr(), text.Length());
    WriteChar(0);
}

// The typed reads: at the very end a quiet 0, a partial value 0 and the
// error flag.
bool IOBuffer::ReadRaw(void* destination, int32_t count)
{
    std::memset(destination, 0, size_t(count));
    if (cursor >= GetSize() || error)
        return false;
    if (BytesLeft() < count) {
        error = true;
        return false;
    }
    std::memcpy(destination, data.data() + cursor, size_t(count));
    cursor += count;
    return true;
}

int32_t IOBuffer::ReadInt()
{
    uint8_t bytes[4];
    ReadRaw(bytes, 4);
    return int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                   uint32_t(bytes[3]) << 24);
}

float IOBuffer::ReadFloat()
{
    uint32_t bits = uint32_t(ReadInt());
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

bool IOBuffer::ReadBool()
{
    uint8_t byte;
    ReadRaw(&byte, 1);
    return byte == 1;
}

void IOBuffer::ReadBytes(void* destination, int32_t count)
{
    if (count <= 0)
        return;
    if (count > BytesLeft()) {
        std::memset(destination, 0, size_t(count));
        error = true;
        return;
    }
    std::memcpy(destination, data.data() + cursor, size_t(count));
    cursor += count;
}

String IOBuffer::ReadString()
{
    int32_t length = ReadInt();
    if (error || length < 1 || length > BytesLeft()) {
        error = true;
        return String();
    }
    const char* text = reinterpret_cast<const char*>(data.data() + cursor);
    std::string copy(text, strnlen(text, size_t(length)));
    cursor += length;
    return String(copy.c_str());
}

String IOBuffer::ReadLine()
{
    std::string line;
    if (error)
        return String();
    while (cursor < GetSize()) {
        uint8_t byte = data[size_t(cursor++)];
        if (byte == kCR)
            break;
        if (byte != kLF)
            line.push_back(char(byte));
    }
    return String(line.c_str());
}

String IOBuffer::ReadStatement()
{
    std::string statement;
    bool inSingle = false;
    bool inDouble = false;
    bool leading = true;
    while (cursor < GetSize()) {
        uint8_t byte = data[size_t(cursor++)];
        if (byte == '"' && !inSingle)
            inDouble = !inDouble;
        else if (byte == '\'' && !inDouble)
            inSingle = !inSingle;
        else if (byte == ';' && !inSingle && !inDouble)
            break;
        if (leading && SignedByte(byte) < 33)
            continue;
        leading = false;
        if (byte == '\t')
            byte = ' ';
        bool quoted = inSingle || inDouble;
        if (byte == ' ' && !quoted && !statement.empty() && statement.back() == ' ')
            continue;
        if (byte != ' ' && SignedByte(byte) < 32)
            continue;
        statement.push_back(char(byte));
    }
    return String(statement.c_str());
}
