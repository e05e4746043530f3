// The map's record in a saved journey: its byte layout, exact round trips,
// and damaged records refused whole without touching the map.
#include "MapFixture.h"

#include "app/IOBuffer.h"
#include "support/TemporaryFolder.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const IOBuffer& buffer)
{
    return Bytes(buffer.GetData(), buffer.GetData() + buffer.GetSize());
}

template <typename T> void Put(Bytes& bytes, size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// Offsets in a record with one queued flip.
constexpr size_t kHover = 3564;
constexpr size_t kChosen = 3580;
constexpr size_t kCount = 3581;
constexpr size_t kStep = 3585;
constexpr size_t kTail = kStep + 23;

} // namespace

class MapSaveTest : public MapFixture
{
  protected:
    static Bytes RecordOf(Map& m)
    {
        IOBuffer buffer;
        m.Save(buffer);
        return BytesOf(buffer);
    }

    // A journey under way: the start won, one neighbour still to flip, the
    // tip marker showing and a square hovered.
    Bytes OneFlipQueued()
    {
        NewMap(2024);
        map->PlaceMarkerAtStart();
        map->CompleteSquare(8, 8, 100);
        while (map->revealQueue.size() > 1)
            map->Update();
        map->hoverX = 7;
        map->hoverY = 7;
        return RecordOf(*map);
    }

    // A buffer holding exactly these bytes, cursor at the start.
    // A new name each time: rewriting one file makes the file system flush.
    void Read(IOBuffer& buffer, const Bytes& bytes)
    {
        const std::string name = "map" + std::to_string(++files) + ".bin";
        folder.WriteText(name, std::string(bytes.begin(), bytes.end()));
        buffer.Load(String((folder / name).c_str()));
        std::remove((folder / name).c_str());
    }

    // Loads into a freshly built map, as a resumed journey does.
    bool Load(const Bytes& bytes)
    {
        map = std::make_unique<Map>(nullptr, &game);
        map->progress = &progress;
        IOBuffer buffer;
        Read(buffer, bytes);
        return map->Load(buffer);
    }

    bool Refused(const Bytes& bytes)
    {
        IOBuffer check;
        Read(check, bytes);
        const bool checked = Map::CheckRecord(check);
        const bool loaded = Load(bytes);
        Map fresh(nullptr, &game);
        const bool untouched = RecordOf(*map) == RecordOf(fresh);
        return !checked && !loaded && untouched;
    }

    TemporaryFolder folder;
    int files = 0;
};

TEST_F(MapSaveTest, RecordLayout)
{
    NewMap(2024);
    const Bytes empty = RecordOf(*map);
    ASSERT_EQ(empty.size(), 3618u);
    EXPECT_EQ(0, std::memcmp(empty.data(), map->squares, 3564));

    const Bytes bytes = OneFlipQueued();
    ASSERT_EQ(bytes.size(), 3618u + 23u);
    const RevealStep& step = map->revealQueue.front();
    struct Field {
        size_t offset;
        int32_t value;
    };
    const Field ints[] = {
        {kHover, 7}, {kHover + 4, 7}, {kCount, 1}, {kStep, step.x}, {kStep + 4, step.y},
        {kStep + 15, step.phase}, {kStep + 19, step.delay}, {kTail, 1},
    };
    for (const Field& f : ints) {
        int32_t v = 0;
        std::memcpy(&v, bytes.data() + f.offset, 4);
        EXPECT_EQ(v, f.value) << "offset " << f.offset;
    }
    EXPECT_EQ(bytes[kStep + 9], 1) << "an unlock flip";
    float tipX = 0.0f;
    std::memcpy(&tipX, bytes.data() + kTail + 4, 4);
    EXPECT_EQ(tipX, map->tipX);
}

TEST_F(MapSaveTest, RoundTripGivesTheSameBytes)
{
    const Bytes bytes = OneFlipQueued();
    const RevealStep saved = map->revealQueue.front();
    ASSERT_TRUE(Load(bytes));
    // Only the hovered square goes: it was the pointer's, not the journey's.
    Bytes unhovered = bytes;
    for (size_t field = 0; field < 4; ++field)
        Put(unhovered, kHover + 4 * field, int32_t(-1));
    EXPECT_EQ(RecordOf(*map), unhovered);
    // Flips go on from where they stopped.
    ASSERT_EQ(map->revealQueue.size(), 1u);
    EXPECT_EQ(map->revealQueue.front().delay, saved.delay);
    Step(300);
    EXPECT_TRUE(map->revealQueue.empty());
    EXPECT_EQ(map->Square(saved.x, saved.y).locked, 0);

    // The cursor ends right after the record, wherever it starts.
    Bytes framed = {9, 9};
    framed.insert(framed.end(), bytes.begin(), bytes.end());
    framed.push_back(7);
    IOBuffer buffer;
    Read(buffer, framed);
    buffer.ReadBytes(framed.data(), 2);
    ASSERT_TRUE(Map::CheckRecord(buffer));
    EXPECT_EQ(buffer.GetCursor(), int32_t(framed.size()) - 1);

    // A square chosen before the save is on its way to no level any more.
    map->chosen = true;
    const Bytes chosen = RecordOf(*map);
    EXPECT_EQ(chosen[kChosen], 1);
    ASSERT_TRUE(Load(chosen));
    EXPECT_FALSE(map->chosen);
}

// The pointer is not where it was when the journey was saved, nor where it
// was when the level began: the map shown again hovers no square, and opens
// no tooltip, until the pointer moves onto one.
TEST_F(MapSaveTest, AShownMapHoversNoSquareUntilThePointerMovesOntoOne)
{
    NewMap(2024);
    MapSquare& square = map->Square(4, 4);
    square.locked = 0;
    square.won = 0;
    square.type = int32_t(LevelType::Drain);
    const int x = int(Map::kLeft + Map::kColumnPitch * 4.0f);
    const int y = int(Map::kTop + Map::kRowPitch * 4.0f);
    for (const char* how : {"restored", "after a level"}) {
        SCOPED_TRACE(how);
        map->OnMouseMove(x, y);
        Step(5);
        ASSERT_EQ(map->hoverX, 4);
        if (how == std::string("restored"))
            ASSERT_TRUE(Load(RecordOf(*map)));
        else
            map->PlaceMarkerAtStart(); // the level starts, and the map comes back
        Step(20);
        EXPECT_EQ(map->hoverX, -1);
        EXPECT_EQ(map->hoverY, -1);
        EXPECT_EQ(map->tooltipCaption, nullptr);
        map->OnMouseMove(x, y);
        Step(10);
        EXPECT_EQ(map->hoverX, 4);
        EXPECT_EQ(map->tooltipCaption, &map->sprCaptions[int(LevelType::Drain)]);
    }
}

TEST_F(MapSaveTest, SavingLandsTheItemsInFlight)
{
    NewMap(2024);
    MapSquare& s = map->Square(4, 4);
    s.type = kJigsawSquare;
    s.item = 2;
    s.piece = 3;
    s.locked = 0;
    map->OnMouseMove(190 + 55 * 4 + 27, 68 + 53 * 4 + 26);
    map->OnMouseDown(0, 0, -1);
    ASSERT_EQ(map->items.Count(), 1);
    const Bytes bytes = RecordOf(*map);
    EXPECT_EQ(map->items.Count(), 0);
    EXPECT_EQ(bytes.size(), 3618u) << "the collected square's flip ran out while landing";

    // A goal clicked just before the save resumes with the end pending.
    map->journeyEndPending = true;
    ASSERT_TRUE(Load(RecordOf(*map)));
    EXPECT_TRUE(map->journeyEndPending);
    map->Update();
    EXPECT_FALSE(map->journeyEndPending);
}

TEST_F(MapSaveTest, CutRecordsAreRefused)
{
    const Bytes bytes = OneFlipQueued();
    for (size_t length = 0; length < bytes.size(); ++length)
        ASSERT_TRUE(Refused(Bytes(bytes.begin(), bytes.begin() + long(length)))) << length;
}

TEST_F(MapSaveTest, BadValuesAreRefused)
{
    struct Case {
        const char* what;
        void (*spoil)(Bytes& b);
    };
    // Square (0, 1) is a level, (1, 2) a bonus and (1, 6) a jigsaw square.
    const size_t level = 44 * 1;
    const size_t bonus = 44 * 11;
    const size_t jigsaw = 44 * 15;
    static_assert(kHover == 3564);
    const Case cases[] = {
        {"flag byte 2", [](Bytes& b) { b[level + 2] = 2; }},
        {"scale not finite", [](Bytes& b) { Put(b, level + 4, std::numeric_limits<float>::infinity()); }},
        {"scale 1e30", [](Bytes& b) { Put(b, level + 8, 1e30f); }},
        {"type 8", [](Bytes& b) { Put(b, level + 12, 8); }},
        {"type 11", [](Bytes& b) { Put(b, level + 12, 11); }},
        {"type -1", [](Bytes& b) { Put(b, level + 12, -1); }},
        {"difficulty above 1", [](Bytes& b) { Put(b, level + 16, 1.5f); }},
        {"difficulty NaN", [](Bytes& b) { Put(b, level + 16, std::numeric_limits<float>::quiet_NaN()); }},
        {"colour not finite", [](Bytes& b) { Put(b, level + 28, -std::numeric_limits<float>::infinity()); }},
        {"colour 3e38", [](Bytes& b) { Put(b, level + 32, 3e38f); }},
        {"bonus kind 7", [](Bytes& b) { Put(b, bonus + 36, 7); }},
        {"jigsaw picture 3", [](Bytes& b) { Put(b, jigsaw + 36, 3); }},
        {"jigsaw piece 20", [](Bytes& b) { Put(b, jigsaw + 40, 20); }},
        {"hovered x 9", [](Bytes& b) { Put(b, kHover, 9); }},
        {"hovered y -2", [](Bytes& b) { Put(b, kHover + 4, -2); }},
        {"previous hovered 9", [](Bytes& b) { Put(b, kHover + 12, 9); }},
        {"chosen byte 2", [](Bytes& b) { b[kChosen] = 2; }},
        {"count -1", [](Bytes& b) { Put(b, kCount, -1); }},
        {"count beyond the bytes", [](Bytes& b) { Put(b, kCount, 2); }},
        {"count huge", [](Bytes& b) { Put(b, kCount, 0x7fffffff); }},
        {"step x 9", [](Bytes& b) { Put(b, kStep, 9); }},
        {"step y -1", [](Bytes& b) { Put(b, kStep + 4, -1); }},
        {"step flag 2", [](Bytes& b) { b[kStep + 10] = 2; }},
        {"step value NaN", [](Bytes& b) { Put(b, kStep + 11, std::numeric_limits<float>::quiet_NaN()); }},
        {"step value 2", [](Bytes& b) { Put(b, kStep + 11, 2.0f); }},
        {"step phase 2", [](Bytes& b) { Put(b, kStep + 15, 2); }},
        {"step delay beyond any flip", [](Bytes& b) { Put(b, kStep + 19, 239); }},
        {"step delay far below zero", [](Bytes& b) { Put(b, kStep + 19, -0x7fffffff); }},
        {"tip 3", [](Bytes& b) { Put(b, kTail, 3); }},
        {"tip position NaN", [](Bytes& b) { Put(b, kTail + 8, std::numeric_limits<float>::quiet_NaN()); }},
        {"tip x off the screen", [](Bytes& b) { Put(b, kTail + 4, 1e6f); }},
        {"tip side 1", [](Bytes& b) { Put(b, kTail + 12, 1.0f); }},
        // Their product overflows to infinity where the caption is drawn.
        {"tip facing -1.5e23", [](Bytes& b) { Put(b, kTail + 16, -1.5e23f); }},
        {"caption offset -2.3e23", [](Bytes& b) { Put(b, kTail + 20, -2.3e23f); }},
        {"puzzle flash infinite", [](Bytes& b) { Put(b, kTail + 24, std::numeric_limits<float>::infinity()); }},
        {"puzzle flash 2", [](Bytes& b) { Put(b, kTail + 24, 2.0f); }},
        {"last bonus kind 7", [](Bytes& b) { Put(b, kTail + 28, 7); }},
        {"pending byte 2", [](Bytes& b) { b[kTail + 32] = 2; }},
    };
    const Bytes good = OneFlipQueued();
    ASSERT_EQ(map->Square(1, 2).type, kBonusSquare);
    ASSERT_EQ(map->Square(1, 6).type, kJigsawSquare);
    ASSERT_LT(map->Square(0, 1).type, 8);
    ASSERT_FALSE(Refused(good));
    for (const Case& c : cases) {
        Bytes bad = good;
        c.spoil(bad);
        EXPECT_TRUE(Refused(bad)) << c.what;
    }
}

// Whatever a damaged record holds, a map that loads it settles: its flips
// all end.
TEST_F(MapSaveTest, MutatedRecordsLoadSoundOrNotAtAll)
{
    const Bytes good = OneFlipQueued();
    theRandom->Seed(31);
    int loaded = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes bad = good;
        const int changes = 1 + theRandom->Get(4);
        for (int i = 0; i < changes; ++i) {
            // Most changes land in the tail, where the small fields are.
            const size_t at = theRandom->Get(2) ? kHover + size_t(theRandom->Get(int32_t(good.size() - kHover)))
                                                : size_t(theRandom->Get(int32_t(good.size())));
            bad[at] = uint8_t(theRandom->Get(256));
        }
        if (!Load(bad))
            continue;
        ++loaded;
        for (int u = 0; u < 300 && !map->revealQueue.empty(); ++u)
            map->Update();
        ASSERT_TRUE(map->revealQueue.empty()) << trial;
    }
    EXPECT_GT(loaded, 0);
}
