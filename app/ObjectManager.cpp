#include "app/ObjectManager.h"

#include "app/App.h"
#include "app/Object.h"

#include <vector>

namespace {
// The position before which an object of that key goes, or -1 for the end.
int InsertPosition(List& sorted, float key, int direction)
{
    for (int i = 0; i < sorted.Count(); ++i) {
        float other = static_cast<Object*>(sorted.Get(i))->sortKey;
        if ((direction == 1 && other > key) || (direction == -1 && other < key))
            return i;
    }
    return -1;
}

void InsertSorted(List& sorted, Object* object, int direction)
{
    int position = InsertPosition(sorted, object->sortKey, direction);
    sorted.Insert(object, position < 0 ? sorted.Count() : position);
}

void RemoveEvery(List& list, Object* object)
{
    while (list.IndexOf(object) >= 0)
        list.Remove(object);
}
} // namespace

ObjectManager::~ObjectManager() = default;

int ObjectManager::CurrentParity()
{
    return theApp != nullptr ? (theApp->updateCount & 1) : 0;
}

// The list is emptied before the deletions, so a destructor that reaches
// back into its manager finds nothing half-deleted.
void ObjectManager::DeleteObjectsOf(List& list)
{
    std::vector<Object*> doomed;
    for (int i = 0; i < list.Count(); ++i)
        doomed.push_back(static_cast<Object*>(list.Get(i)));
    list.Clear();
    for (Object* object : doomed)
        delete object;
}

void ObjectManager::DeleteAll()
{
    DeleteObjectsOf(killList[0]);
    DeleteObjectsOf(killList[1]);
    DeleteObjectsOf(live);
}

template <typename Call> void ObjectManager::UpdateWith(Call call)
{
    List& kill = killList[CurrentParity()];
    DeleteObjectsOf(kill);
    for (Object* object : LIST_LOOP(Object, live)) {
        if (object->pauseCount == 0 && !object->killed)
            call(object);
        if (object->killed) {
            RemoveEvery(live, object);
            kill.Add(object);
        }
    }
}

void ObjectManager::Update()
{
    UpdateWith([](Object* object) { object->Update(); });
}

void ObjectManager::UpdateFractional(float fraction)
{
    UpdateWith([fraction](Object* object) { object->UpdateFractional(fraction); });
}

void ObjectManager::Draw()
{
    for (Object* object : LIST_LOOP(Object, live))
        if (!object->killed)
            object->Draw();
}

// Killed objects are left out of the new order; they go to the current kill
// list so that they are still deleted.
void ObjectManager::Sort(int direction)
{
    List sorted;
    for (Object* object : LIST_LOOP(Object, live)) {
        if (object->killed)
            killList[CurrentParity()].Add(object);
        else
            InsertSorted(sorted, object, direction);
    }
    live.Clear();
    live.AddAll(sorted);
}

void ObjectManager::DrawSorted()
{
    List sorted;
    for (Object* object : LIST_LOOP(Object, live))
        if (!object->killed)
            InsertSorted(sorted, object, 1);
    for (Object* object : LIST_LOOP(Object, sorted))
        object->Draw();
}

void ObjectManager::NotifyAll(Object* sender)
{
    for (Object* object : LIST_LOOP(Object, live))
        if (!object->killed)
            object->Notify(sender);
}

// A killed object may already sit in a kill list; adding it again would have
// it deleted twice.
void ObjectManager::Add(Object* object)
{
    if (object == nullptr || object->killed || live.IndexOf(object) >= 0)
        return;
    live.Add(object);
}

void ObjectManager::KillByID(int serial)
{
    for (Object* object : LIST_LOOP(Object, live))
        if (object->serial == serial)
            object->Kill();
}

void ObjectManager::Remove(Object* object)
{
    RemoveEvery(live, object);
    RemoveEvery(killList[0], object);
    RemoveEvery(killList[1], object);
}
