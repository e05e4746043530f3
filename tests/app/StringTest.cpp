#include "app/String.h"
#include "app/App.h"
#include "app/List.h"
#include "app/Point.h"
#include "app/Rect.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>

namespace {
template <typename... Args> std::string Fmt(const char* format, const Args&... args)
{
    String s = String::StringFormat(format, args...);
    return std::string(s.CStr(), s.Length());
}

template <typename T> void DeleteAll(List& list)
{
    for (int i = 0; i < list.Count(); i++) {
        delete static_cast<T*>(list.Get(i));
    }
    list.Clear();
}
} // namespace

TEST(StringFormat, FixedPoint)
{
    EXPECT_EQ(Fmt("%5.2f", 3.14159), " 3.14");
    EXPECT_EQ(Fmt("%.0f", 2.0), "2");
    EXPECT_EQ(Fmt("%#.0f", 2.0), "2.");
    EXPECT_EQ(Fmt("%e", 1.5), "1.500000");
    EXPECT_EQ(Fmt("%g", 1.5), "1.500000");
    EXPECT_EQ(Fmt("%.2f", -0.05), "-0.05");
    EXPECT_EQ(Fmt("%.2f", 0.001), "0.00");
    EXPECT_EQ(Fmt("%f", -0.0), "0.000000");
    EXPECT_EQ(Fmt("%+.1f", 2.0), "+2.0");
    EXPECT_EQ(Fmt("%08.2f", -3.5), "-0003.50");
    EXPECT_EQ(Fmt("%-8.2f|", 3.5), "3.50    |");
    EXPECT_EQ(Fmt("%,.1f", 1234567.25), "1,234,567.2");
    EXPECT_EQ(Fmt("%.10f", 0.5), "0.5000000000");
    EXPECT_EQ(Fmt("%.1f", 3), "3.0"); // an integer argument is converted
}

TEST(StringFormat, IntegersAndSeparators)
{
    EXPECT_EQ(Fmt("%,d", 1234567), "1,234,567");
    EXPECT_EQ(Fmt("%,d", 123), "123");
    EXPECT_EQ(Fmt("%,d", -1234), "-1,234");
    EXPECT_EQ(Fmt("%0,8d", 1234567), "01234567");
    EXPECT_EQ(Fmt("%-5d|", 42), "42   |");
    EXPECT_EQ(Fmt("%05d", -42), "-0042");
    EXPECT_EQ(Fmt("%+d", 0), "+0");
    EXPECT_EQ(Fmt("% d", 7), " 7");
    EXPECT_EQ(Fmt("%10d", 42), "        42");
    EXPECT_EQ(Fmt("%.5d", 42), "00042");
    EXPECT_EQ(Fmt("%.2d", 7), "07");
    EXPECT_EQ(Fmt("%*d", 4, 7), "   7");
    EXPECT_EQ(Fmt("%.*d", 3, 7), "007");
    EXPECT_EQ(Fmt("%ud", -1), "4294967295");
    EXPECT_EQ(Fmt("%d", INT_MIN), "-2147483648");
    EXPECT_EQ(Fmt("%l", int64_t(-9000000000)), "-9000000000");
    EXPECT_EQ(Fmt("%l", INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(Fmt("%ul", int64_t(-1)), "18446744073709551615");
    EXPECT_EQ(Fmt("%l", 5), "5"); // a 32-bit argument widens with its sign
}

TEST(StringFormat, OtherBases)
{
    EXPECT_EQ(Fmt("%x", -1), "-1");
    EXPECT_EQ(Fmt("%ux", -1), "ffffffff");
    EXPECT_EQ(Fmt("%uX", -1), "FFFFFFFF");
    EXPECT_EQ(Fmt("%^x", 0xFFFFFFFFu), "ffffffff");
    EXPECT_EQ(Fmt("%ub", 5), "101");
    EXPECT_EQ(Fmt("%b", -5), "-101");
    EXPECT_EQ(Fmt("%#x", 255), "0xff");
    EXPECT_EQ(Fmt("%#X", 255), "0xFF");
    EXPECT_EQ(Fmt("%#o", 8), "010");
    EXPECT_EQ(Fmt("%#6x", 255), "  0xff");
    EXPECT_EQ(Fmt("%08X", 0xABCD), "0000ABCD");
    EXPECT_EQ(Fmt("%p", -1), "FFFFFFFF");
    EXPECT_EQ(Fmt("%,x", 0x12345), "12345"); // separators only in base 10
}

TEST(StringFormat, TextCharactersAndLiterals)
{
    EXPECT_EQ(Fmt("%s", static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(Fmt("[%5s]", ""), "[]");
    EXPECT_EQ(Fmt("%3s", "abcd"), "abcd");
    EXPECT_EQ(Fmt("%.1s", "abcd"), "abcd");
    EXPECT_EQ(Fmt("[%5s]", "ab"), "[   ab]");
    EXPECT_EQ(Fmt("[%-5s]", "ab"), "[ab   ]");
    EXPECT_EQ(Fmt("%s-%s", String("x"), String("y")), "x-y");
    EXPECT_EQ(Fmt("%c%c", 'o', 'k'), "ok");
    EXPECT_EQ(Fmt("%5c", 'z'), "z");
    EXPECT_EQ(Fmt("%k"), "k");
    EXPECT_EQ(Fmt("abc%"), "abc");
    EXPECT_EQ(Fmt("100%%"), "100%");
    EXPECT_EQ(Fmt("no conversions"), "no conversions");
    EXPECT_EQ(Fmt("%u\n", 5), "\n"); // 'u' is a flag, so "%u" alone prints nothing
    EXPECT_EQ(Fmt("%k%d", 3), "k3"); // an unknown letter takes no argument

    String s("keep");
    s.Format(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StringFormat, HostileInputStaysBounded)
{
    // Widths and precisions wrap at 256, so nothing grows without bound.
    EXPECT_EQ(Fmt("%300d", 1).size(), 44u);
    EXPECT_EQ(Fmt("%99999999999999999999d", 1).size(), 255u);
    EXPECT_EQ(Fmt("%.255f", 1e308).size(), 309u + 1u + 255u);
    EXPECT_EQ(Fmt("%-255.255f", -1e308).size(), 1u + 309u + 1u + 255u);
    EXPECT_EQ(Fmt("%*d", -1, 1).size(), 255u);
    EXPECT_EQ(Fmt("%,255.255d", INT_MIN).size(), 256u);
    EXPECT_EQ(Fmt("%f", 1.0 / 0.0), "inf.");

    // Missing arguments read as zero or no text.
    EXPECT_EQ(Fmt("%d %s %f|%l"), "0  0.000000|0");

    // Arguments of the wrong kind convert instead of being misread.
    EXPECT_EQ(Fmt("%d", 3.9), "3");
    EXPECT_EQ(Fmt("%d", "text"), "0");
    EXPECT_EQ(Fmt("%s", 42), "");
    EXPECT_EQ(Fmt("%d", 1e300), "9223372036854774784");

    // Many arguments, more than the format asks for.
    std::string format;
    std::string expected;
    for (int i = 0; i < 200; i++) {
        format += "%d,";
        expected += std::to_string(i) + ",";
    }
    EXPECT_EQ(Fmt(format.c_str(), 0, 1, 2, 3, 4, 5, 6, 7, 8, 9).substr(0, 20), "0,1,2,3,4,5,6,7,8,9,");
    String many;
    std::vector<FormatArgument> arguments;
    for (int i = 0; i < 200; i++) {
        arguments.emplace_back(i);
    }
    many.FormatV(format.c_str(), FormatArgumentList(arguments.data(), static_cast<int>(arguments.size())));
    EXPECT_EQ(std::string(many.CStr()), expected);

    // A 64-bit value through a 32-bit letter is printed whole, not cut.
    EXPECT_EQ(Fmt("%d", int64_t(5000000000)), "5000000000");
    EXPECT_EQ(Fmt("%ux", 0xFFFFFFFFu), "ffffffff");
}

TEST(StringFormat, FormatArgReportsConsumedBytes)
{
    int consumed = 0;
    const FormatArgument args[] = {FormatArgument(42)};
    FormatArgumentList list(args, 1);
    String piece = String::FormatArg("%-5dtail", list, consumed);
    EXPECT_EQ(consumed, 4);
    EXPECT_STREQ(piece.CStr(), "42   ");
    piece = String::FormatArg("%q", list, consumed);
    EXPECT_EQ(consumed, 1);
    EXPECT_STREQ(piece.CStr(), "");
}

TEST(StringSharing, CopiesShareUntilChanged)
{
    String a("hello");
    String b(a);
    EXPECT_EQ(a.CStr(), b.CStr());
    b.MakeUpper();
    EXPECT_STREQ(a.CStr(), "hello");
    EXPECT_STREQ(b.CStr(), "HELLO");

    String c;
    c = a;
    a.Append(" world");
    EXPECT_STREQ(c.CStr(), "hello");
    EXPECT_STREQ(a.CStr(), "hello world");

    const String& same = a;
    a = same; // self-assignment keeps the text
    EXPECT_STREQ(a.CStr(), "hello world");
    a.Assign(a.CStr() + 6);
    EXPECT_STREQ(a.CStr(), "world");
}

TEST(StringSharing, CopiesOnTwoThreads)
{
    String shared("loader and main thread both hold this");
    auto copyMany = [&shared] {
        for (int i = 0; i < 20000; i++) {
            String copy(shared);
            String another;
            another = copy;
        }
    };
    std::thread other(copyMany);
    copyMany();
    other.join();
    String last(shared);
    last.MakeUpper(); // copies only when shared: the count must be exact
    EXPECT_STREQ(shared.CStr(), "loader and main thread both hold this");
}

TEST(StringSharing, EmptyAndNull)
{
    String none;
    EXPECT_STREQ(none.CStr(), "");
    EXPECT_EQ(none.Length(), 0);
    String fromNull(nullptr);
    EXPECT_TRUE(fromNull.IsEmpty());
    String nul;
    nul.AssignChar(0);
    EXPECT_EQ(nul.CharAt(0), 0);
    EXPECT_EQ(nul.Length(), 0); // counts bytes up to the first NUL
    String s("abc");
    EXPECT_EQ(s.CharAt(-1), 0);
    EXPECT_EQ(s.CharAt(3), 0);
    EXPECT_EQ(s.CharAt(2), 'c');
}

TEST(StringCompare, CaseRulesAndNulls)
{
    String abc("abc");
    EXPECT_EQ(abc.CompareNoCase("ABC"), 0);
    EXPECT_EQ(String("a").CompareNoCase("B"), 1); // the stored bytes decide
    EXPECT_EQ(String("B").CompareNoCase("a"), -1);
    EXPECT_EQ(abc.CompareNoCase("abcd"), -1);
    EXPECT_EQ(abc.CompareNoCaseN("ABX", 2), 0);
    EXPECT_NE(abc.CompareNoCaseN("ABX", 3), 0);
    EXPECT_EQ(abc.CompareNoCaseN("zzz", 0), 0);
    EXPECT_EQ(abc.Compare("abd"), -1);
    EXPECT_EQ(abc.Compare("ab"), 1);
    EXPECT_EQ(abc.Compare("\xe9"), 1); // signed bytes: 0xE9 sorts low
    EXPECT_EQ(abc.Compare(nullptr), 1);
    EXPECT_EQ(String().Compare("x"), -1);
    EXPECT_EQ(String().Compare(nullptr), 0);

    EXPECT_TRUE(abc == "ABC");
    EXPECT_TRUE(abc == String("aBc"));
    abc.SetCaseSensitive(true);
    EXPECT_FALSE(abc == "ABC");
    EXPECT_TRUE(abc != "ABC");
}

TEST(StringSearch, FindAndMid)
{
    String s("abcdef");
    EXPECT_STREQ(s.Mid(-2, 5).CStr(), "abc");
    EXPECT_STREQ(s.Mid(2, 100).CStr(), "cdef");
    EXPECT_TRUE(s.Mid(6, 1).IsEmpty());
    EXPECT_TRUE(s.Mid(1, 0).IsEmpty());
    EXPECT_TRUE(s.Mid(-5, 2).IsEmpty());
    EXPECT_STREQ(s.Mid(INT_MAX - 1, INT_MAX).CStr(), "");
    EXPECT_STREQ(s.Mid(3, INT_MAX).CStr(), "def");
    EXPECT_STREQ(s.Substring(1, 2).CStr(), "bc");

    EXPECT_EQ(s.Find("cd", 0), 2);
    EXPECT_EQ(s.Find("cd", 3), -1);
    EXPECT_EQ(s.Find("", 0), -1);
    EXPECT_EQ(s.Find(nullptr, 0), -1);
    EXPECT_EQ(s.Find("a", -1), -1);
    EXPECT_EQ(s.Find("f", 6), -1);
    EXPECT_EQ(s.FindChar('d', 0), 3);
    EXPECT_EQ(s.FindChar('a', 1), -1);
    EXPECT_EQ(s.FindCharInRange('c', 'e', 0), 2);
    EXPECT_EQ(String().FindChar('a', 0), -1);
}

TEST(StringSearch, GetTwoNumbersAndToBool)
{
    float x = 9;
    float y = 9;
    String("12.5,-3").GetTwoNumbers(x, y);
    EXPECT_FLOAT_EQ(x, 12.5f);
    EXPECT_FLOAT_EQ(y, -3.0f);
    String("pos (4, 7)").GetTwoNumbers(x, y);
    EXPECT_FLOAT_EQ(x, 4.0f);
    EXPECT_FLOAT_EQ(y, 7.0f);
    String("only 4").GetTwoNumbers(x, y);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);

    for (const char* yes : {"TRUE", "Yes", "ON", "1"}) {
        EXPECT_TRUE(String(yes).ToBool()) << yes;
    }
    for (const char* no : {"0", "no", "", "truex"}) {
        EXPECT_FALSE(String(no).ToBool()) << no;
    }
}

TEST(StringEdit, AppendInsertDelete)
{
    String s;
    s.Append(nullptr);
    s.Append("");
    EXPECT_TRUE(s.IsEmpty());
    s.Append("ac");
    s.InsertChar('b', 1);
    s.InsertChar('z', 99);
    s.InsertChar('_', -3);
    s.AppendChar(0);
    EXPECT_STREQ(s.CStr(), "_abcz");
    s.AppendString(s);
    EXPECT_STREQ(s.CStr(), "_abcz_abcz");
    s.Delete(-2, 3); // the end is taken from the negative position
    EXPECT_STREQ(s.CStr(), "abcz_abcz");
    s.Delete(6, 100);
    EXPECT_STREQ(s.CStr(), "abcz_a");
    s.Delete(6, 1);
    s.Delete(2, 0);
    s.Delete(1, INT_MAX);
    EXPECT_STREQ(s.CStr(), "a");
    EXPECT_STREQ(String("ab").Concat("cd").CStr(), "abcd");
}

TEST(StringEdit, RemoveReplaceTrim)
{
    String s("a-b-c");
    s.RemoveChars("-c");
    EXPECT_STREQ(s.CStr(), "ab");
    s = "aaaa";
    s.RemoveAll("aa");
    EXPECT_TRUE(s.IsEmpty());
    s = "one two one";
    s.Replace("one", "three");
    EXPECT_STREQ(s.CStr(), "three two three");
    s.Replace("", "x");
    s.Replace(nullptr, "x");
    s.Replace("two", nullptr);
    EXPECT_STREQ(s.CStr(), "three two three");
    s = "aaa";
    s.Replace("aa", "a"); // no overlap: the search resumes behind each match
    EXPECT_STREQ(s.CStr(), "aa");

    s = "\xe9 \t hi \r\n";
    s.TrimLeft();
    s.TrimRight();
    EXPECT_STREQ(s.CStr(), "hi");
    s.SetLength(4);
    EXPECT_STREQ(s.CStr(), "hi  ");
    s.SetLength(1);
    EXPECT_STREQ(s.CStr(), "h");
    s.ExtendTo(0);
    EXPECT_STREQ(s.CStr(), "h");
    s.SetLength(0);
    EXPECT_TRUE(s.IsEmpty());
    s = "MiXeD";
    s.MakeLower();
    EXPECT_STREQ(s.CStr(), "mixed");
}

TEST(StringEdit, XorAndScramble)
{
    String s("knock knock");
    s.XorWithKey("k");
    EXPECT_EQ(s.CharAt(0), 'k');
    EXPECT_EQ(s.CharAt(4), 'k');
    EXPECT_EQ(s.CharAt(1), 'n' ^ 'k');
    EXPECT_EQ(s.Length(), 11); // no NUL was made
    s.XorWithKey("k");
    EXPECT_STREQ(s.CStr(), "knock knock");

    String shared(s);
    s.Scramble("secret");
    EXPECT_STRNE(s.CStr(), shared.CStr());
    s.Unscramble("secret");
    EXPECT_STREQ(s.CStr(), "knock knock");
    EXPECT_STREQ(shared.CStr(), "knock knock");
    s.XorWithKey("");
    s.XorWithKey(nullptr);
    EXPECT_STREQ(s.CStr(), "knock knock");
}

TEST(StringEdit, URLEncodeAndTags)
{
    String s("a b&c");
    s.URLEncode();
    EXPECT_STREQ(s.CStr(), "a%20b%26c");
    s = "$&+,/:;=?@ \"<>#%{}|\\^~[]`";
    s.URLEncode();
    EXPECT_STREQ(s.CStr(), "%24%26%2b%2c%2f%3a%3b%3d%3f%40%20%22%3c%3e%23%25%7b%7d%7c%5c%5e%7e%5b%5d%60");
    s = "ok\x01\xff-_.";
    s.URLEncode();
    EXPECT_STREQ(s.CStr(), "ok\x01\xff-_.");

    String xml;
    xml.AppendXMLTag("name", "Bo");
    EXPECT_STREQ(xml.CStr(), "<name>Bo</name>");
    xml.AppendXMLTag("score", "10");
    EXPECT_STREQ(xml.TagsToLines().CStr(), "<name>Bo<\\name>\r\n<score>10<\\score>\r\n");
}

TEST(StringTokens, SeparatedTokens)
{
    String s("a,,b");
    EXPECT_STREQ(s.FirstToken(',').CStr(), "a");
    EXPECT_STREQ(s.NextToken(',').CStr(), "");
    EXPECT_STREQ(s.NextToken(',').CStr(), "b");
    EXPECT_STREQ(s.NextToken(',').CStr(), "");
    EXPECT_STREQ(s.NextToken(',').CStr(), "");
    EXPECT_STREQ(s.FirstToken(',', true).CStr(), "a,");

    String none;
    EXPECT_TRUE(none.NextToken(',').IsEmpty());
    EXPECT_TRUE(none.FirstToken(',').IsEmpty());

    String quoted("'a,b',\"c,d\",f(1,2),g");
    EXPECT_STREQ(quoted.FirstTokenQuoted(',').CStr(), "'a,b'");
    EXPECT_STREQ(quoted.NextTokenQuoted(',').CStr(), "\"c,d\"");
    EXPECT_STREQ(quoted.NextTokenQuoted(',').CStr(), "f(1,2)");
    EXPECT_STREQ(quoted.NextTokenQuoted(',').CStr(), "g");
    EXPECT_TRUE(quoted.NextTokenQuoted(',').IsEmpty());
}

TEST(StringTokens, EnclosedGroups)
{
    String s("x(a(b)c) (d)");
    EXPECT_STREQ(s.FirstEnclosed('(', ')').CStr(), "a(b)c");
    EXPECT_STREQ(s.NextEnclosed('(', ')', true).CStr(), "(d)");
    EXPECT_TRUE(s.NextEnclosed('(', ')').IsEmpty());

    String quotes("\"one\" \"two\"");
    EXPECT_STREQ(quotes.FirstEnclosed('"', '"').CStr(), "one");
    EXPECT_STREQ(quotes.NextEnclosed('"', '"').CStr(), "two");

    String open("abc(");
    EXPECT_TRUE(open.FirstEnclosed('(', ')').IsEmpty());
    EXPECT_TRUE(open.NextToken(',').IsEmpty()); // the cursor was cleared
    String unclosed("(abc");
    EXPECT_TRUE(unclosed.FirstEnclosed('(', ')').IsEmpty());
}

TEST(StringTokens, ListBuilders)
{
    List chars;
    String("'a', \"b\",'',x").SplitToChars(chars);
    ASSERT_EQ(chars.Count(), 4);
    EXPECT_EQ(*static_cast<char*>(chars.Get(0)), 'a');
    EXPECT_EQ(*static_cast<char*>(chars.Get(1)), 'b');
    EXPECT_EQ(*static_cast<char*>(chars.Get(2)), 0);
    EXPECT_EQ(*static_cast<char*>(chars.Get(3)), 0);
    DeleteAll<char>(chars);

    List ints;
    String(" 1,-2, 99999999999,,7").SplitToInts(ints);
    ASSERT_EQ(ints.Count(), 3); // stops at the first empty item
    EXPECT_EQ(*static_cast<int32_t*>(ints.Get(1)), -2);
    EXPECT_EQ(*static_cast<int32_t*>(ints.Get(2)), INT32_MAX);
    DeleteAll<int32_t>(ints);

    List points;
    String("(1,2),(3.5,-4)").SplitToPoints(points);
    ASSERT_EQ(points.Count(), 2);
    EXPECT_FLOAT_EQ(static_cast<Point*>(points.Get(1))->x, 3.5f);
    EXPECT_FLOAT_EQ(static_cast<Point*>(points.Get(1))->y, -4.0f);
    DeleteAll<Point>(points);

    List rects;
    String("(1,2,3,4),(5,6,7,8)").SplitToRects(rects);
    ASSERT_EQ(rects.Count(), 2);
    Rect* second = static_cast<Rect*>(rects.Get(1));
    EXPECT_EQ(second->x, 5.0f);
    EXPECT_EQ(second->h, 8.0f);
    DeleteAll<Rect>(rects);
}

TEST(StringTokens, SplitToCharsStopsWhenTheApplicationQuits)
{
    App app;
    app.quit = true;
    List chars;
    String("'a','b'").SplitToChars(chars);
    EXPECT_EQ(chars.Count(), 0);
}
