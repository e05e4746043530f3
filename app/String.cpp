#include "app/String.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {
char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int SignOfDifference(char a, char b)
{
    // Bytes compare as signed chars, so bytes 128..255 sort before ASCII.
    return static_cast<signed char>(a) < static_cast<signed char>(b) ? -1 : 1;
}

// Walks both texts while their bytes agree after case folding; the stored
// bytes where the walk stopped decide the sign.
int CompareFolded(const char* a, const char* b, long long limit)
{
    for (long long i = 0; i < limit; i++) {
        if (a[i] == 0 && b[i] == 0) {
            return 0;
        }
        if (a[i] == 0 || b[i] == 0 || LowerAscii(a[i]) != LowerAscii(b[i])) {
            return SignOfDifference(a[i], b[i]);
        }
    }
    return 0;
}

bool IsBlankOrHigh(char c)
{
    return static_cast<signed char>(c) < 33;
}

// Length of a run of an optional '-' followed by digits and points.
int NumberRunLength(const char* text)
{
    int length = (text[0] == '-') ? 1 : 0;
    while ((text[length] >= '0' && text[length] <= '9') || text[length] == '.') {
        length++;
    }
    return length;
}

const char* FindNumberRun(const char* text)
{
    while (*text && *text != '-' && *text != '.' && !(*text >= '0' && *text <= '9')) {
        text++;
    }
    return text;
}

bool IsUrlReserved(char c)
{
    static constexpr std::string_view reserved = "$&+,/:;=?@ \"<>#%{}|\\^~[]`";
    return c != 0 && reserved.find(c) != std::string_view::npos;
}
} // namespace

String::String(const char* text)
{
    Assign(text);
}

String::String(const String& other)
{
    AssignString(other);
}

String::String(String&& other) noexcept
    : mData(other.mData), mTokenCursor(other.mTokenCursor), mShared(other.mShared), mLength(other.mLength),
      mCaseSensitive(other.mCaseSensitive)
{
    other.mData = nullptr;
    other.mShared = nullptr;
    other.mTokenCursor = -1;
    other.mLength = 0;
}

String::~String()
{
    Release();
}

String& String::operator=(const char* text)
{
    Assign(text);
    return *this;
}

String& String::operator=(const String& other)
{
    AssignString(other);
    return *this;
}

String& String::operator=(String&& other) noexcept
{
    if (this != &other) {
        Release();
        std::swap(mData, other.mData);
        std::swap(mShared, other.mShared);
        std::swap(mLength, other.mLength);
        std::swap(mTokenCursor, other.mTokenCursor);
    }
    return *this;
}

void String::Release()
{
    if (mShared && --*mShared == 0) {
        delete[] mData;
        delete mShared;
    }
    mData = nullptr;
    mShared = nullptr;
    mTokenCursor = -1;
    mLength = 0;
}

void String::Rebuild(const char* text, int length)
{
    // Copy first: the text may live in the buffer being released.
    char* data = new char[length + 1];
    std::memcpy(data, text, length);
    data[length] = 0;
    Release();
    mData = data;
    mShared = new std::atomic<int32_t>(1);
    mLength = length;
}

void String::Assign(const char* text)
{
    if (!text) {
        Release();
        return;
    }
    Rebuild(text, static_cast<int>(std::strlen(text)));
}

void String::AssignString(const String& other)
{
    if (this == &other || mData == other.mData) {
        return;
    }
    Release();
    mData = other.mData;
    mShared = other.mShared;
    mLength = other.mLength;
    if (mShared) {
        ++*mShared;
    }
}

void String::AssignChar(char c)
{
    Rebuild(&c, 1);
}

void String::Clear()
{
    Release();
}

const char* String::CStr() const
{
    return mData ? mData : "";
}

int String::Length() const
{
    return mData ? static_cast<int>(std::strlen(mData)) : 0;
}

char String::CharAt(int index) const
{
    return (index < 0 || index >= mLength) ? 0 : mData[index];
}

int String::Compare(const char* text) const
{
    if (!mData || !text) {
        return !mData ? (text ? -1 : 0) : 1;
    }
    for (int i = 0;; i++) {
        if (mData[i] != text[i]) {
            return SignOfDifference(mData[i], text[i]);
        }
        if (mData[i] == 0) {
            return 0;
        }
    }
}

int String::CompareNoCase(const char* text) const
{
    if (!mData || !text) {
        return Compare(text);
    }
    return CompareFolded(mData, text, static_cast<long long>(mLength) + 1 + std::strlen(text));
}

int String::CompareNoCaseN(const char* text, int n) const
{
    if (n < 1) {
        return 0;
    }
    if (!mData || !text) {
        return Compare(text);
    }
    return CompareFolded(mData, text, n);
}

bool String::operator==(const char* text) const
{
    return (mCaseSensitive ? Compare(text) : CompareNoCase(text)) == 0;
}

int String::FindChar(char c, int from) const
{
    return FindCharInRange(c, c, from);
}

int String::FindCharInRange(char lo, char hi, int from) const
{
    if (from < 0 || from >= mLength) {
        return -1;
    }
    for (int i = from; i < mLength; i++) {
        auto b = static_cast<signed char>(mData[i]);
        if (b >= static_cast<signed char>(lo) && b <= static_cast<signed char>(hi)) {
            return i;
        }
    }
    return -1;
}

int String::Find(const char* text, int from) const
{
    if (!text || !*text || from < 0 || from >= mLength) {
        return -1;
    }
    size_t found = std::string_view(mData, mLength).find(text, from);
    return found == std::string_view::npos ? -1 : static_cast<int>(found);
}

String String::Mid(int start, int count) const
{
    String result;
    if (count <= 0 || start >= mLength) {
        return result;
    }
    // The end is taken before a negative start is raised to 0.
    long long end = std::min<long long>(static_cast<long long>(start) + count, mLength);
    long long begin = std::max(start, 0);
    if (end > begin) {
        result.Rebuild(mData + begin, static_cast<int>(end - begin));
    }
    return result;
}

String String::Substring(int start, int count) const
{
    return Mid(start, count);
}

String String::Concat(const char* text) const
{
    String result(*this);
    result.Append(text);
    return result;
}

void String::GetTwoNumbers(float& x, float& y) const
{
    x = 0.0f;
    y = 0.0f;
    const char* first = FindNumberRun(CStr());
    int firstLength = NumberRunLength(first);
    const char* second = FindNumberRun(first + firstLength);
    int secondLength = NumberRunLength(second);
    if (firstLength > 0 && secondLength > 0) {
        x = static_cast<float>(std::atof(std::string(first, firstLength).c_str()));
        y = static_cast<float>(std::atof(std::string(second, secondLength).c_str()));
    }
}

bool String::ToBool() const
{
    for (const char* yes : {"true", "yes", "on", "1"}) {
        if (CompareNoCase(yes) == 0) {
            return true;
        }
    }
    if (CompareNoCase("random") == 0) {
        return std::rand() % 2 == 0;
    }
    return false;
}

void String::Append(const char* text)
{
    if (text && *text) {
        std::string joined(CStr(), mLength);
        joined += text;
        Rebuild(joined.data(), static_cast<int>(joined.size()));
    }
}

void String::AppendString(const String& other)
{
    if (other.mLength > 0) {
        std::string joined(CStr(), mLength);
        joined.append(other.mData, other.mLength);
        Rebuild(joined.data(), static_cast<int>(joined.size()));
    }
}

void String::AppendChar(char c)
{
    InsertChar(c, mLength);
}

void String::InsertChar(char c, int position)
{
    if (c == 0) {
        return;
    }
    std::string text(CStr(), mLength);
    text.insert(text.begin() + std::clamp(position, 0, mLength), c);
    Rebuild(text.data(), static_cast<int>(text.size()));
}

void String::Delete(int position, int count)
{
    long long begin = std::max(position, 0);
    long long end = std::min<long long>(static_cast<long long>(position) + count, mLength);
    if (begin >= mLength || end <= begin) {
        return;
    }
    std::string text(mData, mLength);
    text.erase(begin, end - begin);
    Rebuild(text.data(), static_cast<int>(text.size()));
}

void String::RemoveChars(const char* set)
{
    if (!set || mLength == 0) {
        return;
    }
    std::string_view drop(set);
    std::string kept;
    for (int i = 0; i < mLength; i++) {
        if (drop.find(mData[i]) == std::string_view::npos) {
            kept += mData[i];
        }
    }
    Rebuild(kept.data(), static_cast<int>(kept.size()));
}

void String::RemoveAll(const char* text)
{
    Replace(text, "");
}

void String::Replace(const char* oldText, const char* newText)
{
    if (mLength == 0 || !oldText || !*oldText || !newText || Find(oldText, 0) < 0) {
        return;
    }
    std::string_view source(mData, mLength);
    std::string_view from(oldText);
    std::string result;
    size_t at = 0;
    for (size_t found = source.find(from); found != std::string_view::npos; found = source.find(from, at)) {
        result.append(source.substr(at, found - at));
        result += newText;
        at = found + from.size();
    }
    result.append(source.substr(at));
    Rebuild(result.data(), static_cast<int>(result.size()));
}

void String::TrimLeft()
{
    int begin = 0;
    while (begin < mLength && IsBlankOrHigh(mData[begin])) {
        begin++;
    }
    if (begin > 0) {
        Rebuild(mData + begin, mLength - begin);
    }
}

void String::TrimRight()
{
    int end = mLength;
    while (end > 0 && IsBlankOrHigh(mData[end - 1])) {
        end--;
    }
    if (end < mLength) {
        Rebuild(mData, end);
    }
}

void String::MakeUnique()
{
    if (mShared && *mShared > 1) {
        int cursor = mTokenCursor;
        Rebuild(mData, mLength);
        mTokenCursor = cursor;
    }
}

void String::MakeUpper()
{
    if (std::any_of(mData, mData + mLength, [](char c) { return UpperAscii(c) != c; })) {
        MakeUnique();
        std::transform(mData, mData + mLength, mData, UpperAscii);
    }
}

void String::MakeLower()
{
    if (std::any_of(mData, mData + mLength, [](char c) { return LowerAscii(c) != c; })) {
        MakeUnique();
        std::transform(mData, mData + mLength, mData, LowerAscii);
    }
}

void String::SetLength(int n)
{
    if (n == mLength) {
        return;
    }
    if (n < 1) {
        Clear();
        return;
    }
    std::string text(CStr(), std::min(n, mLength));
    text.resize(n, ' ');
    Rebuild(text.data(), n);
}

void String::ExtendTo(int n)
{
    if (n > mLength) {
        SetLength(n);
    }
}

void String::XorWithKey(const char* key)
{
    if (!key || !*key || mLength == 0) {
        return;
    }
    MakeUnique();
    size_t keyLength = std::strlen(key);
    for (int i = 0; i < mLength; i++) {
        // A byte equal to its key byte stays, so no NUL ever appears.
        char k = key[i % keyLength];
        if (mData[i] != k) {
            mData[i] = static_cast<char>(mData[i] ^ k);
        }
    }
}

void String::AppendXMLTag(const String& name, const String& value)
{
    std::string tag = "<";
    tag.append(name.CStr(), name.mLength).append(">");
    tag.append(value.CStr(), value.mLength).append("</");
    tag.append(name.CStr(), name.mLength).append(">");
    Append(tag.c_str());
}

void String::URLEncode()
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string encoded;
    for (int i = 0; i < mLength; i++) {
        auto c = static_cast<unsigned char>(mData[i]);
        if (IsUrlReserved(mData[i])) {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        } else {
            encoded += mData[i];
        }
    }
    if (mData) {
        Rebuild(encoded.data(), static_cast<int>(encoded.size()));
    }
}
