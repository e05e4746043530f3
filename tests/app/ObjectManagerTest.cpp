#include "app/ObjectManager.h"

#include "app/Object.h"
#include "support/ManualClockApp.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
// Writes its updates, draws and deletion into a shared log.
class LoggingObject : public Object
{
  public:
    LoggingObject(std::vector<std::string>& log, std::string tag) : log(log), tag(std::move(tag)) {}
    ~LoggingObject() override { log.push_back("delete " + tag); }

    void Update() override
    {
        log.push_back("update " + tag);
        if (onUpdate)
            onUpdate();
    }
    void Draw() override { log.push_back("draw " + tag); }
    void Notify(Object*) override { log.push_back("notify " + tag); }

    std::vector<std::string>& log;
    std::string tag;
    std::function<void()> onUpdate;
};

bool Contains(const std::vector<std::string>& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) != log.end();
}

class ObjectManagerTest : public testing::Test
{
  protected:
    LoggingObject* Make(const char* tag)
    {
        auto* object = new LoggingObject(log, tag);
        manager.Add(object);
        return object;
    }

    // One logic tick as the application runs it: the counter first.
    void Tick()
    {
        ++app.updateCount;
        manager.Update();
    }

    void TearDown() override { manager.DeleteAll(); }

    ManualClockApp app;
    std::vector<std::string> log;
    ObjectManager manager;
};

TEST(ObjectTest, SerialsCountUpWhileAnApplicationExists)
{
    Object before;
    EXPECT_EQ(before.serial, 0);
    ManualClockApp app;
    int start = app.objectCounter;
    Object first;
    Object second;
    EXPECT_EQ(first.serial, start);
    EXPECT_EQ(second.serial, start + 1);
    EXPECT_STREQ(first.name, "null object");
}

TEST(ObjectTest, PausesNestAndResumeStopsAtZero)
{
    Object object;
    object.Resume();
    EXPECT_EQ(object.pauseCount, 0);
    object.Pause();
    object.Pause();
    object.Resume();
    EXPECT_EQ(object.pauseCount, 1);
    EXPECT_TRUE(object.IsPaused());
}

TEST_F(ObjectManagerTest, KilledObjectIsDeletedTwoTicksLater)
{
    LoggingObject* object = Make("a");
    object->onUpdate = [object] { object->Kill(); };
    Tick();
    EXPECT_EQ(manager.Count(), 0);
    log.clear();
    manager.Draw();
    EXPECT_TRUE(log.empty());
    Tick();
    EXPECT_FALSE(Contains(log, "delete a"));
    Tick();
    EXPECT_TRUE(Contains(log, "delete a"));
}

TEST_F(ObjectManagerTest, KilledAndPausedObjectStillLeaves)
{
    LoggingObject* object = Make("a");
    object->Pause();
    object->Kill();
    Tick();
    EXPECT_EQ(manager.Count(), 0);
    EXPECT_FALSE(Contains(log, "update a"));
}

TEST_F(ObjectManagerTest, AddIgnoresDuplicatesAndKilledObjects)
{
    LoggingObject* object = Make("a");
    manager.Add(object);
    EXPECT_EQ(manager.Count(), 1);
    object->Kill();
    Tick();
    // Back into the live list it would be deleted twice.
    manager.Add(object);
    EXPECT_EQ(manager.Count(), 0);
    Tick();
    Tick();
    EXPECT_EQ(std::count(log.begin(), log.end(), "delete a"), 1);
}

TEST_F(ObjectManagerTest, ObjectAddedDuringAPassIsUpdatedInIt)
{
    LoggingObject* first = Make("a");
    first->onUpdate = [this, first] {
        first->onUpdate = nullptr;
        Make("b");
    };
    Tick();
    EXPECT_TRUE(Contains(log, "update b"));
}

TEST_F(ObjectManagerTest, PausedObjectIsDrawnButNotUpdated)
{
    LoggingObject* object = Make("a");
    object->Pause();
    Tick();
    manager.Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"draw a"}));
    object->Resume();
    log.clear();
    Tick();
    EXPECT_EQ(log, (std::vector<std::string>{"update a"}));
}

TEST_F(ObjectManagerTest, SortIsStableInBothDirections)
{
    const float keys[] = {3, 1, 2, 1};
    const char* tags[] = {"k3", "k1a", "k2", "k1b"};
    for (int i = 0; i < 4; ++i)
        Make(tags[i])->sortKey = keys[i];
    auto order = [this] {
        std::vector<std::string> tagsNow;
        for (int i = 0; i < manager.Count(); ++i)
            tagsNow.push_back(static_cast<LoggingObject*>(manager.Get(i))->tag);
        return tagsNow;
    };
    manager.Sort(0);
    EXPECT_EQ(order(), (std::vector<std::string>{"k3", "k1a", "k2", "k1b"}));
    manager.Sort(1);
    EXPECT_EQ(order(), (std::vector<std::string>{"k1a", "k1b", "k2", "k3"}));
    manager.Sort(-1);
    EXPECT_EQ(order(), (std::vector<std::string>{"k3", "k2", "k1a", "k1b"}));
}

TEST_F(ObjectManagerTest, SortHandsKilledObjectsToTheKillList)
{
    Make("a");
    LoggingObject* doomed = Make("b");
    doomed->Kill();
    manager.Sort(1);
    EXPECT_EQ(manager.Count(), 1);
    Tick();
    Tick();
    EXPECT_TRUE(Contains(log, "delete b"));
}

TEST_F(ObjectManagerTest, DrawSortedLeavesTheListAlone)
{
    Make("late")->sortKey = 2;
    Make("early")->sortKey = 1;
    manager.DrawSorted();
    EXPECT_EQ(log, (std::vector<std::string>{"draw early", "draw late"}));
    EXPECT_EQ(static_cast<LoggingObject*>(manager.Get(0))->tag, "late");
}

TEST_F(ObjectManagerTest, KillByIdKillsEverySharer)
{
    LoggingObject* a = Make("a");
    LoggingObject* b = Make("b");
    LoggingObject* c = Make("c");
    b->serial = a->serial;
    manager.KillByID(-12345);
    EXPECT_FALSE(a->killed || b->killed || c->killed);
    manager.KillByID(a->serial);
    EXPECT_TRUE(a->killed);
    EXPECT_TRUE(b->killed);
    EXPECT_FALSE(c->killed);
}

TEST_F(ObjectManagerTest, RemoveTakesOutWithoutDeleting)
{
    LoggingObject* object = Make("a");
    manager.Remove(object);
    Tick();
    Tick();
    EXPECT_EQ(manager.Count(), 0);
    EXPECT_FALSE(Contains(log, "delete a"));
    delete object;
}

TEST_F(ObjectManagerTest, NotifyAllSkipsKilledObjects)
{
    Make("a");
    Make("b")->Kill();
    manager.NotifyAll(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"notify a"}));
}
} // namespace
