#include "app/List.h"

#include "app/Random.h"

#include <algorithm>
#include <cstring>

List::~List()
{
    delete[] mItems;
    while (mCursors) {
        ListCursor* next = mCursors->next;
        delete mCursors;
        mCursors = next;
    }
}

void List::Insert(void* item, int position)
{
    if (!item || (unique && IndexOf(item) >= 0)) {
        return;
    }
    if (!fixed) {
        Grow(mCount + 1);
    } else if (mCount >= mCapacity) {
        return;
    }
    position = std::clamp(position, 0, mCount);
    std::memmove(mItems + position + 1, mItems + position, sizeof(void*) * (mCount - position));
    // A loop standing exactly at the position has not yet taken the item now
    // there, so it takes the new one next; loops past it keep their item.
    for (ListCursor* cursor = mCursors; cursor; cursor = cursor->next) {
        if (cursor->index > position) {
            cursor->index++;
        }
    }
    mItems[position] = item;
    mCount++;
}

void List::AddAll(const List& other)
{
    for (int i = 0; i < other.mCount; i++) {
        Add(other.mItems[i]);
    }
}

void* List::Get(int index) const
{
    if (index < 0 || index >= mCount) {
        return nullptr;
    }
    return mItems[index];
}

void* List::First(int& index) const
{
    index = 0;
    return Next(index);
}

void* List::Next(int& index) const
{
    if (index < 0 || index >= mCount) {
        return nullptr;
    }
    return mItems[index++];
}

int List::IndexOf(const void* item) const
{
    for (int i = 0; i < mCount; i++) {
        if (mItems[i] == item) {
            return i;
        }
    }
    return -1;
}

void List::RemoveAt(int index)
{
    if (index < 0 || index >= mCount) {
        return;
    }
    for (ListCursor* cursor = mCursors; cursor; cursor = cursor->next) {
        if (cursor->index >= index && cursor->index > 0) {
            cursor->index--;
        }
    }
    std::memmove(mItems + index, mItems + index + 1, sizeof(void*) * (mCount - index - 1));
    mCount--;
    if (!fixed && mCount < mCapacity / 2) {
        SetCapacity(mCount);
    }
}

void List::Remove(const void* item)
{
    if (item) {
        RemoveAt(IndexOf(item));
    }
}

void List::Clear()
{
    delete[] mItems;
    mItems = nullptr;
    mCount = 0;
    mCapacity = 0;
    for (ListCursor* cursor = mCursors; cursor; cursor = cursor->next) {
        cursor->index = 0;
    }
}

void List::Swap(const void* a, const void* b)
{
    int indexA = IndexOf(a);
    int indexB = IndexOf(b);
    if (indexA >= 0 && indexB >= 0) {
        std::swap(mItems[indexA], mItems[indexB]);
    }
}

void List::Shuffle()
{
    for (int i = 0; i < mCount; i++) {
        int j = theRandom->Get(mCount);
        std::swap(mItems[i], mItems[j]);
    }
}

void List::Grow(int wanted)
{
    if (mCapacity < wanted) {
        Reallocate(wanted + mCapacity / 2);
    }
}

void List::SetCapacity(int n)
{
    if (n == mCapacity) {
        return;
    }
    if (n > mCapacity) {
        Grow(n);
    } else {
        Reallocate(std::max(n, 1));
    }
}

void List::Reallocate(int capacity)
{
    void** items = new void*[capacity];
    std::copy(mItems, mItems + std::min(mCount, capacity), items);
    delete[] mItems;
    mItems = items;
    mCapacity = capacity;
    mCount = std::min(mCount, capacity);
}

ListCursor* List::GetCursor(const char* file, int line)
{
    ListCursor** link = &mCursors;
    for (; *link; link = &(*link)->next) {
        if ((*link)->file == file && (*link)->line == line) {
            return *link;
        }
    }
    *link = new ListCursor{0, line, file, nullptr};
    return *link;
}
