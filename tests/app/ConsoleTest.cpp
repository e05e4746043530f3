#include "app/Console.h"

#include "support/TemporaryDesktop.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {
class ConsoleTest : public testing::Test
{
  protected:
    std::string Log() const { return desktop.ReadText("TARNQUILL.LOG"); }
    bool LogExists() const { return desktop.Exists("TARNQUILL.LOG"); }

    TemporaryDesktop desktop;
};

const std::string kBegin = "*** BEGIN TARNQUILL SESSION ***\r\n";
const std::string kEnd = "*** END TARNQUILL SESSION ***\r\n";
} // namespace

TEST_F(ConsoleTest, FirstLineStartsTheSessionAndEndBannerCloses)
{
    {
        Console console;
        console.Printf("hello");
        EXPECT_EQ(Log(), kBegin + "hello\r\n");
        console.Printf("%s %d", "count", 3);
        EXPECT_EQ(Log(), kBegin + "hello\r\ncount 3\r\n");
    }
    EXPECT_EQ(Log(), kBegin + "hello\r\ncount 3\r\n" + kEnd);
}

TEST_F(ConsoleTest, NewSessionTruncates)
{
    desktop.WriteText("TARNQUILL.LOG", "old session\r\n");
    {
        Console console;
        console.Printf("again");
        EXPECT_EQ(Log(), kBegin + "again\r\n");
    }
}

TEST_F(ConsoleTest, DisabledLogWritesNothing)
{
    {
        Console console;
        console.enabled = false;
        console.Printf("hidden");
    }
    EXPECT_FALSE(LogExists());
}

TEST_F(ConsoleTest, LongLinesAreCut)
{
    Console console;
    std::string huge(5000, 'x');
    console.Printf("%s", huge.c_str());
    console.enabled = false;
    EXPECT_EQ(Log(), kBegin + std::string(2047, 'x') + "\r\n");
}

TEST_F(ConsoleTest, LinesFromTwoThreadsStayWhole)
{
    Console console;
    auto writer = [&console](char c) {
        std::string line(200, c);
        for (int i = 0; i < 50; i++) {
            console.Printf("%s", line.c_str());
        }
    };
    std::thread other(writer, 'a');
    writer('b');
    other.join();
    console.enabled = false;

    std::string log = Log();
    ASSERT_EQ(log.rfind(kBegin, 0), 0u);
    size_t lines = 0;
    for (size_t at = kBegin.size(); at < log.size(); at += 202) {
        std::string line = log.substr(at, 202);
        ASSERT_TRUE(line == std::string(200, 'a') + "\r\n" || line == std::string(200, 'b') + "\r\n");
        lines++;
    }
    EXPECT_EQ(lines, 100u);
}
