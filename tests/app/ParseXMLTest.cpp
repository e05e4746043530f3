#include "app/ParseXML.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <string>

TEST(ParseXMLTest, ReadsTagsInTurnAndMatchesClosingTagsWithoutCase)
{
    ParseXML parser;
    parser.SetText("ab<X>1,2</X><Y a='p q' b=3>z</y>");
    ParseXMLTag x = parser.NextTag();
    EXPECT_FALSE(x.empty);
    EXPECT_STREQ(x.name.CStr(), "X");
    EXPECT_STREQ(x.content.CStr(), "1,2");
    EXPECT_TRUE(x.attributes.IsEmpty());

    ParseXMLTag y = parser.NextTag();
    EXPECT_STREQ(y.name.CStr(), "Y");
    EXPECT_STREQ(y.attributes.CStr(), "a='p q' b=3");
    EXPECT_STREQ(y.content.CStr(), "z");

    EXPECT_TRUE(parser.NextTag().empty);
    EXPECT_TRUE(parser.AtEnd());
}

TEST(ParseXMLTest, AttributesSplitAtBlanksOutsideQuotes)
{
    ParseXMLTag tag;
    tag.attributes = "a='p q' b=3";
    EXPECT_EQ(tag.CountAttributes(), 2);
    ParseXMLTag first = tag.GetAttribute(0);
    EXPECT_FALSE(first.empty);
    EXPECT_STREQ(first.name.CStr(), "a");
    EXPECT_STREQ(first.content.CStr(), "p q");
    ParseXMLTag second = tag.GetAttribute(1);
    EXPECT_STREQ(second.name.CStr(), "b");
    EXPECT_STREQ(second.content.CStr(), "3");
    EXPECT_TRUE(tag.GetAttribute(2).empty);
    EXPECT_TRUE(tag.GetAttribute(-1).empty);

    tag.attributes = "flag  c=\"x 'y'\" d='unclosed";
    EXPECT_EQ(tag.CountAttributes(), 2);
    EXPECT_STREQ(tag.GetAttribute(0).name.CStr(), "flag");
    EXPECT_TRUE(tag.GetAttribute(0).content.IsEmpty());
    EXPECT_STREQ(tag.GetAttribute(1).content.CStr(), "x 'y'");
}

TEST(ParseXMLTest, LineBreaksVanishFromContentButHighBytesStay)
{
    ParseXML parser;
    parser.SetText("<N>1\r\n2\t\xE9\xFF</N>");
    ParseXMLTag tag = parser.NextTag();
    EXPECT_STREQ(tag.content.CStr(), "12\xE9\xFF");
}

TEST(ParseXMLTest, NestedTagsAreReadByParsingTheContentAgain)
{
    ParseXML outer;
    outer.SetText("<A n=1><B>one</B>\r\n<B>two</B></A>");
    ParseXMLTag a = outer.NextTag();
    EXPECT_STREQ(a.content.CStr(), "<B>one</B><B>two</B>");

    ParseXML inner;
    inner.SetText(a.content.CStr());
    EXPECT_STREQ(inner.NextTag().content.CStr(), "one");
    EXPECT_STREQ(inner.NextTag().content.CStr(), "two");
    EXPECT_TRUE(inner.NextTag().empty);
}

TEST(ParseXMLTest, TheFirstClosingTagOfTheNameEndsIt)
{
    ParseXML parser;
    parser.SetText("<A>x<A>y</A>z</A>");
    EXPECT_STREQ(parser.NextTag().content.CStr(), "x<A>y");
    // A closing tag with a blank before its '>' does not match.
    parser.SetText("<A>x</A >y</A>");
    EXPECT_STREQ(parser.NextTag().content.CStr(), "x</A >y");
}

TEST(ParseXMLTest, TruncatedInputs)
{
    ParseXML parser;
    parser.SetText("<Open attr");
    EXPECT_TRUE(parser.NextTag().empty);

    // The end of the input also ends a content.
    parser.SetText("<Open>half");
    ParseXMLTag tag = parser.NextTag();
    EXPECT_FALSE(tag.empty);
    EXPECT_STREQ(tag.content.CStr(), "half");

    parser.SetText("no tags at all");
    EXPECT_TRUE(parser.NextTag().empty);

    ParseXML unset;
    EXPECT_TRUE(unset.AtEnd());
    EXPECT_TRUE(unset.NextTag().empty);
}

TEST(ParseXMLTest, OverLongNamesAndInnerTagsAreSafe)
{
    std::string longName(5000, 'N');
    std::string longInner(100000, 'q');
    std::string text =
        "<" + longName + " " + std::string(3000, 'v') + ">a<" + longInner + ">b</" + longName + ">";
    ParseXML parser;
    parser.SetText(text.c_str());
    ParseXMLTag tag = parser.NextTag();
    EXPECT_FALSE(tag.empty);
    EXPECT_EQ(tag.name.Length(), 5000);
    EXPECT_EQ(tag.attributes.Length(), 3000);
    EXPECT_EQ(tag.content.Length(), int(1 + 2 + longInner.size() + 1));
    EXPECT_TRUE(parser.NextTag().empty);
}

TEST(ParseXMLTest, ReadsFromAFile)
{
    TemporaryFolder folder;
    folder.WriteText("reply.txt", "HTTP/1.0 200 OK\r\n\r\n<RESULT>ok</RESULT>");
    ParseXML parser;
    parser.OpenFile(String((folder / "reply.txt").c_str()));
    EXPECT_FALSE(parser.AtEnd());
    ParseXMLTag tag = parser.NextTag();
    EXPECT_STREQ(tag.name.CStr(), "RESULT");
    EXPECT_STREQ(tag.content.CStr(), "ok");

    parser.OpenFile(String((folder / "missing.txt").c_str()));
    EXPECT_TRUE(parser.AtEnd());
    EXPECT_TRUE(parser.NextTag().empty);
}

TEST(ParseXMLTest, NulInAFileIsNotTheEnd)
{
    TemporaryFolder folder;
    folder.WriteText("nul.xml", std::string("<A>x</A>\0<B>y</B>", 17));
    ParseXML parser;
    parser.OpenFile(String((folder / "nul.xml").c_str()));
    EXPECT_STREQ(parser.NextTag().name.CStr(), "A");
    EXPECT_STREQ(parser.NextTag().name.CStr(), "B");
}
