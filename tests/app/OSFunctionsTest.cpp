#include "app/OSFunctions.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(OSFunctions, NotAWindowsGeneration)
{
    EXPECT_FALSE(theOSFunctions->IsMajorVersion4());
    EXPECT_FALSE(theOSFunctions->IsMajorVersion5());
    EXPECT_FALSE(theOSFunctions->IsMajorVersion6());
}

TEST(OSFunctions, DescriptionNamesTheKernel)
{
    String description = theOSFunctions->GetOSDescription();
    EXPECT_EQ(description.Find("Linux", 0), 0);
    EXPECT_GT(description.Find(" - ", 0), 0);
}

TEST(OSFunctions, ProductVersions)
{
    EXPECT_STREQ(theOSFunctions->GetProductVersion("nosuchmodule.dll").CStr(), "(not found)");
    EXPECT_STREQ(theOSFunctions->GetProductVersion("").CStr(), "(not found)");
    // The display library's version is three numbers, whatever the case of
    // the module name.
    String version = theOSFunctions->GetProductVersion("DDRAW.DLL");
    EXPECT_GE(std::atoi(version.FirstToken('.').CStr()), 2);
    EXPECT_FALSE(version.NextToken('.').IsEmpty());
    EXPECT_FALSE(version.NextToken('.').IsEmpty());
    EXPECT_TRUE(version.NextToken('.').IsEmpty());
    EXPECT_EQ(version.FindCharInRange('A', 'z', 0), -1);
}

TEST(OSFunctions, UserName)
{
    EXPECT_FALSE(theOSFunctions->GetUserName().IsEmpty());
}
