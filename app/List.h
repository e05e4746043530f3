#pragma once

// A loop's position in a list. Insertions and removals move the cursors of
// running loops, so a loop body may change the list it walks.
struct ListCursor
{
    int index = 0;
    int line = 0;
    const char* file = nullptr;
    ListCursor* next = nullptr;
};

// The framework's container: a growable array of pointers it never owns.
class List
{
  public:
    List() = default;
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    virtual ~List();

    void Add(void* item) { Insert(item, mCount); }
    void Insert(void* item, int position);
    void AddAll(const List& other);
    void* Get(int index) const;
    void* First(int& index) const;
    void* Next(int& index) const;
    int IndexOf(const void* item) const;
    void RemoveAt(int index);
    void Remove(const void* item);
    void Clear();
    void Swap(const void* a, const void* b);
    void Shuffle();
    void Grow(int wanted);
    void SetCapacity(int n);

    // The cursor of the loop at file:line; the file is compared as a pointer.
    ListCursor* GetCursor(const char* file, int line);

    int Count() const { return mCount; }
    int Capacity() const { return mCapacity; }
    bool IsEmpty() const { return mCount == 0; }

    // Set by the owner before use: unique lists refuse an item already
    // present; fixed lists never reallocate and refuse inserts when full.
    bool unique = false;
    bool fixed = false;

  private:
    void Reallocate(int capacity);

    int mCount = 0;
    int mCapacity = 0;
    void** mItems = nullptr;
    ListCursor* mCursors = nullptr;
};

// Walks a list with a cursor registered for the loop's site:
//     for (Gadget* gadget : LIST_LOOP(Gadget, mChildren)) ...
// The body may add or remove items; a removal at or before the current item
// steps the cursor back so the next item is not skipped.
template <typename T> class ListLoop
{
  public:
    ListLoop(List& list, const char* file, int line) : mList(list), mCursor(list.GetCursor(file, line)) {}

    class Iterator
    {
      public:
        Iterator(List* list, ListCursor* cursor) : mList(list), mCursor(cursor)
        {
            if (mList) {
                mCursor->index = 0;
                Advance();
            }
        }
        T* operator*() const { return mItem; }
        Iterator& operator++()
        {
            Advance();
            return *this;
        }
        bool operator!=(const Iterator&) const { return mItem != nullptr; }

      private:
        void Advance()
        {
            mItem = nullptr;
            if (mCursor->index < mList->Count()) {
                mItem = static_cast<T*>(mList->Get(mCursor->index));
                mCursor->index++;
            }
        }

        List* mList;
        ListCursor* mCursor;
        T* mItem = nullptr;
    };

    Iterator begin() { return Iterator(&mList, mCursor); }
    Iterator end() { return Iterator(nullptr, mCursor); }

  private:
    List& mList;
    ListCursor* mCursor;
};

#define LIST_LOOP(Type, list) ListLoop<Type>((list), __FILE__, __LINE__)
#define LIST_CURSOR(list) (list).GetCursor(__FILE__, __LINE__)
