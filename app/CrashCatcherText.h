#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Text built in storage of its own, for a report made while the failed
// thread or another one may hold the allocator's lock or any other: no heap,
// no lock, no formatting call of the C library. What does not fit is cut.
template <size_t kCapacity> class CrashCatcherText
{
  public:
    void Clear()
    {
        size = 0;
        text[0] = '\0';
    }

    void Append(const char* more)
    {
        for (; *more != '\0' && size + 1 < kCapacity; ++more)
            text[size++] = *more;
        text[size] = '\0';
    }

    void OpenTag(const char* name)
    {
        Append("<");
        Append(name);
        Append(">");
    }

    void CloseTag(const char* name)
    {
        Append("</");
        Append(name);
        Append(">");
    }

    void AppendTag(const char* name, const char* value)
    {
        OpenTag(name);
        Append(value);
        CloseTag(name);
    }

    // At least the digits given, zeros in front; hexadecimal in upper case.
    void AppendNumber(int64_t value, int digits, unsigned base = 10)
    {
        if (value < 0)
            Append("-");
        uint64_t left = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        char reversed[24];
        int count = 0;
        while ((left != 0 || count < digits) && count < static_cast<int>(sizeof(reversed))) {
            reversed[count++] = "0123456789ABCDEF"[left % base];
            left /= base;
        }
        char shown[2] = {0, 0};
        while (count > 0) {
            shown[0] = reversed[--count];
            Append(shown);
        }
    }

    const char* Text() const { return text; }
    size_t Size() const { return size; }

  private:
    char text[kCapacity] = {};
    size_t size = 0;
};

// A whole crash report: the module's path, the stack walk and the system
// information fit many times over.
using CrashReportText = CrashCatcherText<32 * 1024>;
