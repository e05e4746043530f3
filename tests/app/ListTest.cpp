#include "app/List.h"
#include "app/Random.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {
int items[64];

void* Item(int i)
{
    return &items[i];
}

void Fill(List& list, int count)
{
    for (int i = 0; i < count; i++) {
        list.Add(Item(i));
    }
}
} // namespace

TEST(ListGrowth, CapacitiesGrowByHalf)
{
    List list;
    std::vector<int> capacities;
    for (int i = 0; i < 6; i++) {
        list.Add(Item(i));
        if (capacities.empty() || capacities.back() != list.Capacity()) {
            capacities.push_back(list.Capacity());
        }
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 7}));
    for (int i = 6; i < 17; i++) {
        list.Add(Item(i));
        if (capacities.back() != list.Capacity()) {
            capacities.push_back(list.Capacity());
        }
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 7, 11, 17}));
}

TEST(ListGrowth, ShrinksBelowHalf)
{
    List list;
    Fill(list, 10);
    ASSERT_EQ(list.Capacity(), 11);
    while (list.Count() > 5) {
        list.RemoveAt(0);
        EXPECT_EQ(list.Capacity(), 11);
    }
    list.RemoveAt(0);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Capacity(), 4);
    EXPECT_EQ(list.Get(0), Item(6));

    list.SetCapacity(list.Capacity() + 2); // growing adds half the old capacity
    EXPECT_EQ(list.Capacity(), 8);
    list.SetCapacity(0);
    EXPECT_EQ(list.Capacity(), 1);
    EXPECT_EQ(list.Count(), 1);
}

TEST(ListGrowth, FixedAndUnique)
{
    List fixed;
    fixed.fixed = true;
    fixed.Add(Item(0));
    EXPECT_EQ(fixed.Count(), 0); // no capacity yet
    fixed.SetCapacity(2);
    Fill(fixed, 3);
    EXPECT_EQ(fixed.Count(), 2);
    fixed.RemoveAt(0);
    fixed.RemoveAt(0);
    EXPECT_EQ(fixed.Capacity(), 2);

    List unique;
    unique.unique = true;
    unique.Add(Item(1));
    unique.Add(Item(1));
    unique.Add(nullptr);
    EXPECT_EQ(unique.Count(), 1);
    List other;
    Fill(other, 3);
    unique.AddAll(other);
    EXPECT_EQ(unique.Count(), 3);
    EXPECT_EQ(unique.Get(0), Item(1));
}

TEST(ListAccess, BoundsAndOrder)
{
    List list;
    Fill(list, 3);
    EXPECT_EQ(list.Get(-1), nullptr);
    EXPECT_EQ(list.Get(3), nullptr);
    EXPECT_EQ(list.IndexOf(Item(9)), -1);
    list.Insert(Item(5), 100);
    EXPECT_EQ(list.IndexOf(Item(5)), 3);
    list.Insert(Item(6), -4);
    EXPECT_EQ(list.IndexOf(Item(6)), 0);
    list.Remove(Item(9));
    list.Remove(nullptr);
    list.RemoveAt(-1);
    list.RemoveAt(5);
    EXPECT_EQ(list.Count(), 5);

    int index = 0;
    std::vector<void*> walked;
    for (void* item = list.First(index); item; item = list.Next(index)) {
        walked.push_back(item);
    }
    EXPECT_EQ(walked, (std::vector<void*>{Item(6), Item(0), Item(1), Item(2), Item(5)}));

    list.Swap(Item(6), Item(5));
    EXPECT_EQ(list.Get(0), Item(5));
    list.Swap(Item(6), Item(9)); // absent: nothing
    EXPECT_EQ(list.Get(4), Item(6));
}

TEST(ListAccess, ShuffleKeepsEveryItem)
{
    List list;
    Fill(list, 20);
    list.Shuffle();
    std::set<void*> seen;
    for (int i = 0; i < list.Count(); i++) {
        seen.insert(list.Get(i));
    }
    EXPECT_EQ(seen.size(), 20u);
}

TEST(ListCursors, MoveWithInsertAndRemove)
{
    List list;
    Fill(list, 5);
    ListCursor* cursor = LIST_CURSOR(list);
    cursor->index = 2;
    list.Insert(Item(10), 1);
    EXPECT_EQ(cursor->index, 3);
    cursor->index = 2;
    list.Insert(Item(11), 2);
    EXPECT_EQ(cursor->index, 2);
    list.RemoveAt(2);
    EXPECT_EQ(cursor->index, 1);
    cursor->index = 2;
    list.RemoveAt(3);
    EXPECT_EQ(cursor->index, 2);
    cursor->index = 0;
    list.RemoveAt(0);
    EXPECT_EQ(cursor->index, 0); // never below 0
}

TEST(ListCursors, OneCursorPerSite)
{
    List list;
    static const char* file = "site";
    ListCursor* a = list.GetCursor(file, 10);
    EXPECT_EQ(list.GetCursor(file, 10), a);
    EXPECT_NE(list.GetCursor(file, 11), a);
    a->index = 3;
    list.Clear();
    EXPECT_EQ(a->index, 0);
}

TEST(ListCursors, LoopSurvivesRemovalOfCurrentItem)
{
    List list;
    Fill(list, 6);
    std::vector<void*> visited;
    for (int* item : LIST_LOOP(int, list)) {
        visited.push_back(item);
        if (item == Item(1) || item == Item(2)) {
            list.Remove(item);
        }
    }
    EXPECT_EQ(visited, (std::vector<void*>{Item(0), Item(1), Item(2), Item(3), Item(4), Item(5)}));
    EXPECT_EQ(list.Count(), 4);
}

TEST(ListCursors, LoopSurvivesRemovalBeforeAndInsertion)
{
    List list;
    Fill(list, 4);
    std::vector<void*> visited;
    for (int* item : LIST_LOOP(int, list)) {
        visited.push_back(item);
        if (item == Item(2)) {
            list.Remove(Item(0));                        // behind the loop: nothing skipped
            list.Insert(Item(9), 0);                     // behind the loop: nothing repeated
            list.Insert(Item(8), list.IndexOf(Item(3))); // ahead: visited next
        }
    }
    EXPECT_EQ(visited, (std::vector<void*>{Item(0), Item(1), Item(2), Item(8), Item(3)}));
}

TEST(ListCursors, NestedLoopsAndClear)
{
    List list;
    Fill(list, 3);
    int pairs = 0;
    for (int* outer : LIST_LOOP(int, list)) {
        for (int* inner : LIST_LOOP(int, list)) {
            pairs += (outer != nullptr && inner != nullptr) ? 1 : 0;
        }
    }
    EXPECT_EQ(pairs, 9);

    int steps = 0;
    for (int* item : LIST_LOOP(int, list)) {
        (void)item;
        steps++;
        list.Clear();
    }
    EXPECT_EQ(steps, 1);
}
