#pragma once

#include <atomic>
#include <concepts>
#include <cstdint>
#include <type_traits>

class List;
class String;

// One argument of a formatted line, carried with its type so the formatter
// never has to guess sizes from a bare argument list.
class FormatArgument
{
  public:
    enum class Kind { None, Integer, Real, Text };

    FormatArgument() = default;
    template <typename T>
    requires std::integral<T> || std::is_enum_v<T> FormatArgument(T value)
        : mKind(Kind::Integer), mInteger(static_cast<int64_t>(value))
    {
    }
    FormatArgument(double value) : mKind(Kind::Real), mReal(value) {}
    FormatArgument(const char* text) : mKind(Kind::Text), mText(text) {}
    FormatArgument(std::nullptr_t) : mKind(Kind::Text) {}
    FormatArgument(const String& text);
    // Pointers print as their address ("%p").
    FormatArgument(const void* pointer);

    Kind GetKind() const { return mKind; }
    int32_t AsInt32() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    const char* AsText() const;

  private:
    Kind mKind = Kind::None;
    int64_t mInteger = 0;
    double mReal = 0.0;
    const char* mText = nullptr;
};

// The arguments of one format call. Reading past the last one gives an empty
// argument (0, 0.0 or no text), so a format asking for more than was passed
// stays harmless.
class FormatArgumentList
{
  public:
    FormatArgumentList(const FormatArgument* arguments, int count) : mArguments(arguments), mCount(count) {}

    const FormatArgument& Next();
    int Remaining() const { return mCount - mNext; }

  private:
    const FormatArgument* mArguments;
    int mCount;
    int mNext = 0;
};

// The framework's text type: a byte string sharing a reference-counted buffer
// between copies, with a token cursor for step-by-step splitting and its own
// printf-style formatter.
class String
{
  public:
    String() = default;
    String(const char* text);
    String(const String& other); // StringCopy: shares the buffer
    String(String&& other) noexcept;
    ~String();

    String& operator=(const char* text);
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;

    template <typename... Args> static String StringFormat(const char* format, const Args&... args)
    {
        String result;
        result.Format(format, args...);
        return result;
    }

    void Assign(const char* text);
    void AssignString(const String& other);
    void AssignChar(char c);
    void Clear();

    template <typename... Args> void Format(const char* format, const Args&... args)
    {
        if constexpr (sizeof...(Args) == 0) {
            FormatV(format, FormatArgumentList(nullptr, 0));
        } else {
            const FormatArgument packed[] = {FormatArgument(args)...};
            FormatV(format, FormatArgumentList(packed, sizeof...(Args)));
        }
    }
    void FormatV(const char* format, FormatArgumentList arguments);
    // Reads one conversion at the '%' that format points at; returns its text
    // and sets consumed to the number of format bytes it used.
    static String FormatArg(const char* format, FormatArgumentList& arguments, int& consumed);

    // Access and comparison
    const char* CStr() const;
    int Length() const;
    bool IsEmpty() const { return mLength == 0; }
    char CharAt(int index) const;
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;
    int CompareNoCase(const String& other) const { return CompareNoCase(other.mData); }
    int CompareNoCaseN(const char* text, int n) const;
    int FindChar(char c, int from = 0) const;
    int FindCharInRange(char lo, char hi, int from = 0) const;
    int Find(const char* text, int from = 0) const;
    String Mid(int start, int count) const;
    String Substring(int start, int count) const;
    String Concat(const char* text) const;
    void GetTwoNumbers(float& x, float& y) const;
    bool ToBool() const;

    // Without regard to ASCII case unless SetCaseSensitive asks otherwise. A
    // String that never held text differs from "": test emptiness with
    // IsEmpty.
    bool operator==(const char* text) const;
    bool operator==(const String& other) const { return *this == other.mData; }
    bool operator!=(const char* text) const { return !(*this == text); }
    bool operator!=(const String& other) const { return !(*this == other); }
    bool IsCaseSensitive() const { return mCaseSensitive; }
    void SetCaseSensitive(bool caseSensitive) { mCaseSensitive = caseSensitive; }

    // Changing operations
    void Append(const char* text);
    void AppendString(const String& other);
    void AppendChar(char c);
    void InsertChar(char c, int position);
    void Delete(int position, int count);
    void RemoveChars(const char* set);
    void RemoveAll(const char* text);
    void Replace(const char* oldText, const char* newText);
    void TrimLeft();
    void TrimRight();
    void MakeUpper();
    void MakeLower();
    void MakeUnique();
    void SetLength(int n);
    void ExtendTo(int n);
    void XorWithKey(const char* key);
    void Scramble(const String& key) { XorWithKey(key.mData); }
    void Unscramble(const String& key) { XorWithKey(key.mData); }
    void AppendXMLTag(const String& name, const String& value);
    String TagsToLines() const;
    void URLEncode();

    // Token operations
    String FirstToken(char separator, bool keepSeparator = false);
    String NextToken(char separator, bool keepSeparator = false);
    String FirstEnclosed(char open, char close, bool keepBrackets = false);
    String NextEnclosed(char open, char close, bool keepBrackets = false);
    String FirstTokenQuoted(char separator, bool keepSeparator = false);
    String NextTokenQuoted(char separator, bool keepSeparator = false);

    // List builders: each appends heap items the caller owns and deletes.
    void SplitToChars(List& out);  // char*
    void SplitToInts(List& out);   // int32_t*
    void SplitToPoints(List& out); // Point*
    void SplitToRects(List& out);  // Rect*

  private:
    void Release();
    // Replaces the text by a fresh private buffer holding those bytes.
    void Rebuild(const char* text, int length);
    String Enclosed(char open, char close, bool keepBrackets, int from);
    String TokenFrom(char separator, bool keepSeparator, bool quoted);

    char* mData = nullptr;
    int32_t mTokenCursor = -1; // offset into mData, -1 when unset
    // Atomic: a String copied on the loader thread may share its buffer
    // with one the main thread still holds.
    std::atomic<int32_t>* mShared = nullptr;
    int32_t mLength = 0;
    bool mCaseSensitive = false;
};
