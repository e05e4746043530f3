#pragma once

#include "app/List.h"

class Object;

// Drives a set of objects: one update per logic tick, one draw per frame.
// Killed objects leave the live list during an update and are deleted two
// ticks later, never in the middle of a pass, so that code still holding one
// can read it for one more tick.
class ObjectManager
{
  public:
    ObjectManager() = default;
    ObjectManager(const ObjectManager&) = delete;
    ObjectManager& operator=(const ObjectManager&) = delete;
    // Deletes nothing: an owner that wants its objects gone calls DeleteAll.
    virtual ~ObjectManager();

    virtual void DeleteAll();
    virtual void Update();
    virtual void UpdateFractional(float fraction);
    virtual void Draw();
    // 1 ascending, -1 descending by sort key, stable; other values keep the
    // order.
    virtual void Sort(int direction);
    virtual void DrawSorted();
    virtual void NotifyAll(Object* sender);
    virtual void Add(Object* object);
    virtual void KillByID(int serial);
    // Takes the object out of every list without deleting it.
    virtual void Remove(Object* object);

    int Count() const { return live.Count(); }
    Object* Get(int index) const { return static_cast<Object*>(live.Get(index)); }

    List live;
    // Used on alternate ticks, by the parity of the application's update
    // counter.
    List killList[2];

  protected:
    static int CurrentParity();
    static void DeleteObjectsOf(List& list);

  private:
    template <typename Call> void UpdateWith(Call call);
};
