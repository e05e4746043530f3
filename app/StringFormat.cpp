#include "app/String.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

// The formatter is the framework's own, not the C library's: it has thousands
// separators, binary output, a 64-bit conversion ('l'), 'u' as a flag, and
// copies unknown conversion letters as text. Width and precision are kept
// modulo 256, so no conversion can produce more than a few hundred bytes.

namespace {
struct Spec
{
    bool zeroPad = false;
    bool isSigned = true;
    bool plusSign = false;
    bool spaceSign = false;
    bool leftJustify = false;
    bool alternate = false;
    bool lowerCase = false;
    bool precisionGiven = false;
    bool separators = false;
    int base = 10;
    int width = 0;
    int precision = 0;
};

// Reads a run of digits as one number, kept modulo 256 as it grows.
int ReadNumber(const char* format, int& i)
{
    int value = 0;
    while (format[i] >= '0' && format[i] <= '9') {
        value = (value * 10 + (format[i] - '0')) % 256;
        i++;
    }
    return value;
}

// Reads the flags, width and precision after the '%' at format[0]; returns
// the index of the conversion letter.
int ReadSpec(const char* format, FormatArgumentList& arguments, Spec& spec)
{
    int i = 1;
    for (;; i++) {
        char c = format[i];
        if (c == '0' && format[i - 1] != '.') {
            spec.zeroPad = true;
        } else if (c >= '0' && c <= '9') {
            int& target = spec.precisionGiven ? spec.precision : spec.width;
            target = ReadNumber(format, i);
            i--;
        } else if (c == ' ') {
            spec.spaceSign = true;
        } else if (c == '+') {
            spec.plusSign = true;
        } else if (c == '-') {
            spec.leftJustify = true;
            spec.zeroPad = false;
        } else if (c == '#') {
            spec.alternate = true;
        } else if (c == ',') {
            spec.separators = true;
        } else if (c == 'u' || c == '^') {
            spec.isSigned = false;
        } else if (c == '.') {
            spec.precisionGiven = true;
        } else if (c == '*') {
            int& target = spec.precisionGiven ? spec.precision : spec.width;
            target = arguments.Next().AsInt32() & 255;
        } else {
            return i;
        }
    }
}

// The value a 32-bit conversion prints: arguments that fit 32 bits behave as
// int32 (so an unsigned 0xFFFFFFFF and -1 print alike); wider values are not
// cut, since the argument's real type is known.
struct IntegerValue
{
    int64_t value;
    bool wide;
};

IntegerValue TakeInteger(FormatArgumentList& arguments, bool is64)
{
    int64_t value = arguments.Next().AsInt64();
    bool fits32 =
        value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<uint32_t>::max();
    if (!is64 && fits32) {
        return {static_cast<int32_t>(static_cast<uint32_t>(value)), false};
    }
    return {value, true};
}

std::string GroupDigits(const std::string& digits, bool separate)
{
    if (!separate) {
        return digits;
    }
    std::string grouped;
    size_t first = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    grouped.append(digits, 0, first);
    for (size_t i = first; i < digits.size(); i += 3) {
        grouped += ',';
        grouped.append(digits, i, 3);
    }
    return grouped;
}

int SeparatorCount(size_t digitCount)
{
    return static_cast<int>((digitCount - 1) / 3);
}

char SignOf(bool negative, const Spec& spec)
{
    if (negative) {
        return '-';
    }
    return spec.plusSign ? '+' : (spec.spaceSign ? ' ' : 0);
}

std::string MagnitudeDigits(uint64_t magnitude, int base, bool lowerCase)
{
    static constexpr char upper[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr char lower[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    const char* digitSet = lowerCase ? lower : upper;
    std::string reversed;
    do {
        reversed += digitSet[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    return std::string(reversed.rbegin(), reversed.rend());
}

// Pieces of a number in output order; Assemble pads them to the width.
struct NumberPieces
{
    char sign = 0;
    std::string prefix;
    int precisionZeros = 0;
    std::string body;
    int padding = 0;
};

void Assemble(const NumberPieces& pieces, const Spec& spec, std::string& out)
{
    int padding = std::max(pieces.padding, 0);
    if (!spec.leftJustify && !spec.zeroPad) {
        out.append(padding, ' ');
    }
    if (pieces.sign) {
        out += pieces.sign;
    }
    out += pieces.prefix;
    if (spec.zeroPad && !spec.leftJustify) {
        out.append(padding, '0');
    }
    out.append(pieces.precisionZeros, '0');
    out += pieces.body;
    if (spec.leftJustify) {
        out.append(padding, ' ');
    }
}

void FormatInteger(IntegerValue number, Spec spec, std::string& out)
{
    if (spec.base < 2 || spec.base > 36) {
        spec.base = 10;
    }
    if (spec.leftJustify) {
        spec.zeroPad = false;
    }
    NumberPieces pieces;
    int width = spec.width;
    uint64_t magnitude = number.wide ? static_cast<uint64_t>(number.value)
                                     : static_cast<uint32_t>(static_cast<int32_t>(number.value));
    if (spec.isSigned) {
        bool negative = number.value < 0;
        magnitude = negative ? 0 - static_cast<uint64_t>(number.value) : static_cast<uint64_t>(number.value);
        pieces.sign = SignOf(negative, spec);
        width -= pieces.sign ? 1 : 0;
    }
    if (spec.alternate && (spec.base == 16 || spec.base == 8)) {
        pieces.prefix = spec.base == 16 ? "0x" : "0";
        width -= static_cast<int>(pieces.prefix.size());
    }
    std::string digits = MagnitudeDigits(magnitude, spec.base, spec.lowerCase);
    int digitCount = static_cast<int>(digits.size());
    bool separate = spec.separators && spec.base == 10 && digitCount >= 4 && digitCount >= spec.precision &&
                    !spec.zeroPad;
    int separators = separate ? SeparatorCount(digits.size()) : 0;
    int precision = std::max(spec.precision, digitCount);
    pieces.precisionZeros = precision - digitCount;
    pieces.body = GroupDigits(digits, separate);
    pieces.padding = width - (precision + separators);
    Assemble(pieces, spec, out);
}

// Fixed-point digits of a non-negative value: snprintf is thread-safe and
// bounded, unlike fcvt's static buffer. The integer part always has at least
// one digit, as the framework's output has always had.
void FixedDigits(double magnitude, int precision, std::string& integer, std::string& fraction)
{
    if (!std::isfinite(magnitude)) {
        integer = std::isnan(magnitude) ? "nan" : "inf";
        fraction.clear();
        return;
    }
    // 309 integer digits + point + 255 fraction digits is the longest result.
    char buffer[640];
    int length = std::snprintf(buffer, sizeof(buffer), "%.*f", precision, magnitude);
    std::string text(buffer, std::clamp(length, 0, static_cast<int>(sizeof(buffer)) - 1));
    size_t point = text.find('.');
    integer = text.substr(0, point);
    fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
}

void FormatFixed(double value, Spec spec, std::string& out)
{
    bool writePoint = true;
    int precision = 6;
    if (spec.precisionGiven) {
        precision = spec.precision;
        writePoint = precision != 0 || spec.alternate;
    }
    if (spec.leftJustify) {
        spec.zeroPad = false;
    }
    int width = spec.width - (writePoint ? 1 : 0);
    NumberPieces pieces;
    // NaN and negative zero are not below 0 and print without a '-'.
    bool negative = value < 0;
    pieces.sign = SignOf(negative, spec);
    width -= pieces.sign ? 1 : 0;

    std::string integer;
    std::string fraction;
    FixedDigits(std::fabs(value), precision, integer, fraction);
    bool separate = spec.separators && integer.size() >= 4 && !spec.zeroPad;
    int separators = separate ? SeparatorCount(integer.size()) : 0;
    pieces.body = GroupDigits(integer, separate);
    if (writePoint) {
        pieces.body += '.';
    }
    pieces.body += fraction;
    pieces.padding = width - static_cast<int>(integer.size() + fraction.size()) - separators;
    Assemble(pieces, spec, out);
}

void FormatText(const char* text, const Spec& spec, std::string& out)
{
    if (!text || !*text) {
        return;
    }
    int padding = std::max(spec.width - static_cast<int>(std::strlen(text)), 0);
    if (!spec.leftJustify) {
        out.append(padding, ' ');
    }
    out += text;
    if (spec.leftJustify) {
        out.append(padding, ' ');
    }
}

// Converts one argument by its letter; false for a letter it does not know.
bool Convert(char letter, Spec spec, FormatArgumentList& arguments, std::string& out)
{
    switch (letter) {
    case 's':
    case 'S':
        FormatText(arguments.Next().AsText(), spec, out);
        return true;
    case 'c':
    case 'C':
        out += static_cast<char>(arguments.Next().AsInt32());
        return true;
    case 'd':
    case 'D':
    case 'i':
    case 'I':
        FormatInteger(TakeInteger(arguments, false), spec, out);
        return true;
    case 'l':
    case 'L':
        FormatInteger(TakeInteger(arguments, true), spec, out);
        return true;
    case 'x':
    case 'X':
    case 'p':
    case 'P':
        spec.base = 16;
        spec.lowerCase = letter == 'x';
        spec.isSigned = spec.isSigned && (letter == 'x' || letter == 'X');
        FormatInteger(TakeInteger(arguments, false), spec, out);
        return true;
    case 'b':
    case 'B':
        spec.base = 2;
        FormatInteger(TakeInteger(arguments, false), spec, out);
        return true;
    case 'o':
    case 'O':
        spec.base = 8;
        FormatInteger(TakeInteger(arguments, false), spec, out);
        return true;
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
        FormatFixed(arguments.Next().AsDouble(), spec, out);
        return true;
    default:
        return false;
    }
}

// Appends the conversion at format[0] == '%' and returns the format bytes it
// used. An unknown letter is left unconsumed, so it is copied as text.
int FormatConversion(const char* format, FormatArgumentList& arguments, std::string& out)
{
    Spec spec;
    int letterIndex = ReadSpec(format, arguments, spec);
    if (Convert(format[letterIndex], spec, arguments, out)) {
        return letterIndex + 1;
    }
    return letterIndex;
}
} // namespace

const FormatArgument& FormatArgumentList::Next()
{
    static const FormatArgument none;
    return mNext < mCount ? mArguments[mNext++] : none;
}

FormatArgument::FormatArgument(const String& text) : mKind(Kind::Text), mText(text.CStr()) {}

FormatArgument::FormatArgument(const void* pointer)
    : mKind(Kind::Integer), mInteger(static_cast<int64_t>(reinterpret_cast<uintptr_t>(pointer)))
{
}

int32_t FormatArgument::AsInt32() const
{
    return static_cast<int32_t>(static_cast<uint32_t>(AsInt64()));
}

int64_t FormatArgument::AsInt64() const
{
    if (mKind == Kind::Integer) {
        return mInteger;
    }
    if (mKind == Kind::Real && std::isfinite(mReal)) {
        // Truncate toward zero, held inside the 64-bit range (2^63 less
        // one step of a double there).
        constexpr double limit = 9223372036854775808.0;
        return static_cast<int64_t>(std::clamp(mReal, -limit, limit - 1024.0));
    }
    return 0;
}

double FormatArgument::AsDouble() const
{
    if (mKind == Kind::Real) {
        return mReal;
    }
    return mKind == Kind::Integer ? static_cast<double>(mInteger) : 0.0;
}

const char* FormatArgument::AsText() const
{
    return mKind == Kind::Text ? mText : nullptr;
}

String String::FormatArg(const char* format, FormatArgumentList& arguments, int& consumed)
{
    std::string text;
    consumed = FormatConversion(format, arguments, text);
    String result;
    result.Rebuild(text.data(), static_cast<int>(text.size()));
    return result;
}

void String::FormatV(const char* format, FormatArgumentList arguments)
{
    if (!format) {
        Clear();
        return;
    }
    std::string out;
    for (const char* at = format; *at;) {
        if (*at != '%') {
            out += *at++;
        } else if (at[1] == '%') {
            out += '%';
            at += 2;
        } else {
            at += FormatConversion(at, arguments, out);
        }
    }
    Rebuild(out.data(), static_cast<int>(out.size()));
}
