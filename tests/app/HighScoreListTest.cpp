#include "app/HighScoreList.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

namespace {
using Table = std::vector<std::pair<std::string, int>>;

Table Entries(const HighScoreList& list)
{
    Table table;
    for (int i = 0; i < list.GetCount(); ++i)
        table.emplace_back(list.GetName(i).CStr(), list.GetScore(i));
    return table;
}

// Five entries of 500 down to 100, filled as the game fills its defaults.
void FillDefaults(HighScoreList& list)
{
    list.SetSize(5);
    const char* names[] = {"Tobb", "Wynna", "Drusk", "Pim", "Orvald"};
    for (int i = 0; i < 5; ++i)
        list.Insert(names[i], 500 - 100 * i);
}

TEST(HighScoreListTest, DefaultsFillInDescendingOrder)
{
    HighScoreList list;
    FillDefaults(list);
    EXPECT_EQ(Entries(list),
              (Table{{"Tobb", 500}, {"Wynna", 400}, {"Drusk", 300}, {"Pim", 200}, {"Orvald", 100}}));
    EXPECT_EQ(list.GetScore(-1), 0);
    EXPECT_EQ(list.GetScore(5), 0);
    EXPECT_TRUE(list.GetName(5).IsEmpty());
}

TEST(HighScoreListTest, EqualScoresRankBelowTheOlderEntry)
{
    HighScoreList list;
    FillDefaults(list);
    EXPECT_FALSE(list.Qualifies(100));
    EXPECT_TRUE(list.Qualifies(101));
    list.Insert("New", 300);
    EXPECT_EQ(Entries(list),
              (Table{{"Tobb", 500}, {"Wynna", 400}, {"Drusk", 300}, {"New", 300}, {"Pim", 200}}));
    list.Insert("Top", 900);
    EXPECT_EQ(Entries(list),
              (Table{{"Top", 900}, {"Tobb", 500}, {"Wynna", 400}, {"Drusk", 300}, {"New", 300}}));
    // Equal to the lowest: refused, the table stays.
    list.Insert("Late", 300);
    EXPECT_EQ(list.GetName(4).CStr(), std::string("New"));
}

TEST(HighScoreListTest, AnEmptyListTakesNothing)
{
    HighScoreList list;
    EXPECT_FALSE(list.Qualifies(1000));
    list.Insert("Ann", 1000);
    EXPECT_EQ(list.GetCount(), 0);
    list.SetSize(2);
    EXPECT_FALSE(list.Qualifies(0));
    EXPECT_TRUE(list.Qualifies(1));
}

TEST(HighScoreListTest, SaveWritesNameAndScorePairsInOrder)
{
    TemporaryFolder folder;
    folder.WriteText("Normal.hs", "Version=3\r\nSCORE1=7\r\n");
    HighScoreList list;
    list.SetSize(3);
    list.Load((folder / "Normal.hs").c_str());
    list.Insert("Ann", 30);
    list.Insert("Bo", 20);
    list.Save();
    // The loaded 7 sat above an empty entry, unsorted, so it was pushed
    // off; keys the file held before keep their places.
    EXPECT_EQ(folder.ReadText("Normal.hs"),
              "Version=3\r\nSCORE1=20\r\nNAME0=Ann\r\nSCORE0=30\r\nNAME1=Bo\r\nNAME2=\r\nSCORE2=0\r\n");
}

TEST(HighScoreListTest, LoadChangesOnlyTheEntriesTheFileHolds)
{
    TemporaryFolder folder;
    folder.WriteText("Journey.hs", "NAME0=Zed\r\nSCORE0=999999\r\nNAME5=Far\r\nSCORE5=1\r\nSCORE3=12abc\r\n");
    HighScoreList list;
    FillDefaults(list);
    list.Load((folder / "Journey.hs").c_str());
    // Taken as stored, without sorting; a bad number reads as its leading
    // digits.
    EXPECT_EQ(Entries(list),
              (Table{{"Zed", 999999}, {"Wynna", 400}, {"Drusk", 300}, {"Pim", 12}, {"Orvald", 100}}));
    // Loading leaves the file as it was.
    EXPECT_EQ(folder.ReadText("Journey.hs"),
              "NAME0=Zed\r\nSCORE0=999999\r\nNAME5=Far\r\nSCORE5=1\r\nSCORE3=12abc\r\n");
}

// Loading writes nothing: a table is never written empty.
TEST(HighScoreListTest, AMissingFileKeepsTheDefaultsAndIsWrittenOnlyBySave)
{
    TemporaryFolder folder;
    HighScoreList list;
    FillDefaults(list);
    list.Load((folder / "Speed.hs").c_str());
    EXPECT_EQ(list.GetName(0).CStr(), std::string("Tobb"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Speed.hs"));
    HighScoreList unsized;
    unsized.Load((folder / "Speed.hs").c_str());
    unsized.Save();
    EXPECT_FALSE(std::filesystem::exists(folder / "Speed.hs"));
    list.Save();
    HighScoreList again;
    again.SetSize(5);
    again.Load((folder / "Speed.hs").c_str());
    EXPECT_EQ(Entries(again), Entries(list));
}
} // namespace
