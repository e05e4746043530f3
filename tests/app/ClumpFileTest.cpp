#include "app/ClumpFile.h"

#include <gtest/gtest.h>

TEST(ClumpFileTest, ReadsSizeAndNumbersThePartsOfEachClump)
{
    ClumpFile clump;
    clump.Parse("<CLUMP><SIZE>800.9, 600</SIZE><RECT>0,0,400,600</RECT><RECT>400, 0, 400, 600</RECT></CLUMP>"
                "<OTHER><RECT>1,1,1,1</RECT></OTHER>"
                "<clump><rect>10, 20, 30, 40</rect><NOTE>x</NOTE></clump>");
    ASSERT_TRUE(clump.hasSize);
    EXPECT_EQ(clump.width, 800);
    EXPECT_EQ(clump.height, 600);
    ASSERT_EQ(clump.parts.size(), 3u);
    EXPECT_EQ(clump.parts[1].number, 1);
    EXPECT_EQ(clump.parts[1].x, 400);
    EXPECT_EQ(clump.parts[1].w, 400);
    EXPECT_EQ(clump.parts[2].number, 0); // each CLUMP counts from 0
    EXPECT_EQ(clump.parts[2].x, 10);
    EXPECT_EQ(clump.parts[2].y, 20);
    EXPECT_EQ(clump.parts[2].w, 30);
    EXPECT_EQ(clump.parts[2].h, 40);
}

TEST(ClumpFileTest, MissingNumbersAreZeroAndHugeOnesDoNotOverflow)
{
    ClumpFile clump;
    clump.Parse("<CLUMP><RECT>5,6</RECT><RECT>99999999999,-99999999999,x,</RECT><SIZE>99999999999999,2</"
                "SIZE></CLUMP>");
    ASSERT_EQ(clump.parts.size(), 2u);
    EXPECT_EQ(clump.parts[0].x, 5);
    EXPECT_EQ(clump.parts[0].y, 6);
    EXPECT_EQ(clump.parts[0].w, 0);
    EXPECT_EQ(clump.parts[0].h, 0);
    EXPECT_EQ(clump.parts[1].x, 2147483647);
    EXPECT_EQ(clump.parts[1].y, -2147483647 - 1);
    EXPECT_EQ(clump.width, 0);

    ClumpFile nothing;
    nothing.Parse("no tags at all");
    EXPECT_FALSE(nothing.hasSize);
    EXPECT_TRUE(nothing.parts.empty());
    EXPECT_FALSE(nothing.Load("/nonexistent/file.clump"));
}

TEST(ClumpFileTest, PartsAreCutToTheImage)
{
    ClumpFile::Part inside{0, 2, 3, 4, 5};
    EXPECT_TRUE(inside.ClipTo(10, 10));
    EXPECT_EQ(inside.w, 4);
    ClumpFile::Part across{0, -2, 8, 5, 5};
    ASSERT_TRUE(across.ClipTo(10, 10));
    EXPECT_EQ(across.x, 0);
    EXPECT_EQ(across.w, 3);
    EXPECT_EQ(across.h, 2);
    ClumpFile::Part outside{0, 10, 0, 5, 5};
    EXPECT_FALSE(outside.ClipTo(10, 10));
    ClumpFile::Part huge{0, 2147483647, 0, 2147483647, 1};
    EXPECT_FALSE(huge.ClipTo(10, 10));
}
