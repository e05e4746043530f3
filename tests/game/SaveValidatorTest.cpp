// Saved games are checked whole, from their byte layout, before anything is
// built from them.
#include "game/SaveValidator.h"

#include "app/IOBuffer.h"
#include "app/Random.h"
#include "support/TemporaryFolder.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {
// Byte offsets inside the files the writer below makes.
constexpr int32_t kModifiersAt = 76;
constexpr int32_t kMapFlagAt = 116;
constexpr int32_t kBoardAt = 118; // a Casual file: no map
constexpr int32_t kPieceSize = 133;
// In the default Casual file: the fixed block, the lose overlay's flag, the
// level-up overlay's state, the piece count.
constexpr size_t kFixedAt = kBoardAt + 26 + 64;
constexpr size_t kLoseFlagAt = kFixedAt + 251;
constexpr size_t kLevelupStateAt = kLoseFlagAt + 2;
constexpr size_t kPieceCountAt = kLevelupStateAt + 28;
constexpr size_t kFirstPieceAt = kPieceCountAt + 4;

struct Layout {
    int32_t width = 8;
    int32_t height = 8;
    bool marked = false;
    int32_t levelType = 0;
    int32_t pieces = 64;
    bool map = false;
    int32_t revealSteps = 0;
    bool opponent = false;
    // The overlay each board holds: the mode's own by default, a win in a
    // journey (with its map), a level-up in an endless game.
    enum { Own, Win, Levelup } overlay = Own;
};

void WriteBoard(IOBuffer& b, const Layout& l)
{
    b.WriteInt(l.width);
    b.WriteInt(l.height);
    for (float v : {40.0f, 60.0f, 520.0f, 520.0f})
        b.WriteFloat(v);
    std::vector<uint8_t> cells(size_t(l.width * l.height), 1);
    b.WriteBool(1);
    b.WriteBytes(cells.data(), int32_t(cells.size()));
    b.WriteBool(l.marked);
    if (l.marked)
        b.WriteBytes(cells.data(), int32_t(cells.size()));
    // The 250 fixed bytes: cell size 65, kinds 7, level type at +78, the
    // rest zero (every zero is a valid value there).
    std::vector<uint8_t> fixed(250, 0);
    float cellSize = 65.0f;
    std::memcpy(&fixed[0], &cellSize, 4);
    fixed[8] = 7;
    fixed[78] = uint8_t(l.levelType);
    b.WriteBytes(fixed.data(), 250);
    const bool win = l.overlay == Layout::Win || (l.overlay == Layout::Own && l.map);
    b.WriteBool(win);
    if (win) {
        for (int i = 0; i < 2; ++i)
            b.WriteInt(3);
        for (int i = 0; i < 3; ++i)
            b.WriteFloat(0.0f);
        for (const char* text : {"TOTAL TIME: 00:12:34", "QUORBS MATCHED: 9", "SCORE THIS LEVEL: 90"})
            b.WriteString(text);
    }
    b.WriteBool(0);
    b.WriteBool(!win);
    if (!win) {
        // State, drop, hold, dim, next burst, bursts left, flash: all 0.
        const std::vector<uint8_t> levelup(28, 0);
        b.WriteBytes(levelup.data(), 28);
    }
    b.WriteInt(l.pieces);
    for (int p = 0; p < l.pieces; ++p) {
        std::vector<uint8_t> piece(kPieceSize, 0);
        float x = 32.5f + 65.0f * float(p % l.width);
        float y = 32.5f + 65.0f * float(p / l.width % l.height);
        std::memcpy(&piece[0], &x, 4);
        std::memcpy(&piece[4], &y, 4);
        piece[16] = uint8_t(p % 7);
        b.WriteBytes(piece.data(), kPieceSize);
    }
}

std::vector<uint8_t> MakeSave(const Layout& l)
{
    IOBuffer b;
    b.WriteInt(2);
    b.WriteInt(1);
    for (int32_t v : {4, 5, 3, 1200, 999999, l.levelType, 40})
        b.WriteInt(v);
    for (int i = 0; i < 10; ++i)
        b.WriteInt(i == 2 ? 4 : -1);
    for (int i = 0; i < 10; ++i)
        b.WriteFloat(0.25f);
    b.WriteBool(l.map);
    if (l.map) {
        std::vector<uint8_t> square(44, 0);
        float one = 1.0f;
        std::memcpy(&square[4], &one, 4);
        std::memcpy(&square[8], &one, 4);
        for (int i = 0; i < 81; ++i)
            b.WriteBytes(square.data(), 44);
        for (int i = 0; i < 4; ++i)
            b.WriteInt(-1);
        b.WriteBool(0);
        b.WriteInt(l.revealSteps);
        for (int i = 0; i < l.revealSteps; ++i) {
            b.WriteInt(3);
            b.WriteInt(4);
            b.WriteBytes("\1\0\1", 3);
            b.WriteFloat(0.5f);
            b.WriteInt(1);
            b.WriteInt(20);
        }
        b.WriteInt(1);
        // The tip's place, side, facing and caption offset, the flash.
        for (float f : {337.0f, 93.0f, 0.0f, -1.0f, 25.0f, 0.0f})
            b.WriteFloat(f);
        b.WriteInt(2);
        b.WriteBool(0);
    }
    b.WriteBool(1);
    WriteBoard(b, l);
    b.WriteBool(l.opponent);
    if (l.opponent)
        WriteBoard(b, l);
    b.WriteBool(0); // a level is shown, not the map
    b.WriteBool(1);
    b.WriteBool(l.opponent);
    return std::vector<uint8_t>(b.GetData(), b.GetData() + b.GetSize());
}

// Thousands of files are checked, one after another through one file of the
// suite's temporary folder.
struct ScratchFile {
    TemporaryFolder folder;
    std::string path = folder / "game.sav";
};

bool IsValid(const std::vector<uint8_t>& bytes, GameMode mode = GameMode::Casual)
{
    static ScratchFile scratch;
    const std::string& path = scratch.path;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                  std::streamsize(bytes.size()));
    IOBuffer buffer;
    buffer.Load(path.c_str());
    return SaveValidator(buffer).IsValidGame(mode);
}

void Put(std::vector<uint8_t>& bytes, size_t at, int32_t value)
{
    std::memcpy(&bytes[at], &value, 4);
}

void PutFloat(std::vector<uint8_t>& bytes, size_t at, float value)
{
    std::memcpy(&bytes[at], &value, 4);
}
} // namespace

TEST(SaveValidatorTest, AcceptsEveryShapeOfValidSave)
{
    struct Case {
        const char* what;
        Layout layout;
        GameMode mode;
    };
    const Case cases[] = {
        {"casual 8 x 8", {}, GameMode::Casual},
        {"largest grid, full", {12, 10, false, 0, 120}, GameMode::Speed},
        {"GoGold with its marks", {9, 7, true, 5, 63}, GameMode::Casual},
        {"journey level with map and flips", {6, 9, false, 7, 54, true, 3, true}, GameMode::Journey},
        {"no pieces", {1, 1, false, 0, 0}, GameMode::Casual},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(IsValid(MakeSave(c.layout), c.mode)) << c.what;
}

TEST(SaveValidatorTest, RefusesEveryCutAndAnyTrailingByte)
{
    Layout journey{6, 9, false, 7, 5, true, 2, true};
    std::vector<uint8_t> whole = MakeSave(journey);
    for (size_t length = 0; length < whole.size(); ++length) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(length));
        ASSERT_FALSE(IsValid(cut, GameMode::Journey)) << "cut at " << length;
    }
    whole.push_back(0);
    EXPECT_FALSE(IsValid(whole, GameMode::Journey));
}

TEST(SaveValidatorTest, RefusesCraftedValues)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const size_t g = kFixedAt;
    struct Case {
        const char* what;
        size_t at;
        int32_t value;
        bool isFloat;
        float floatValue;
    };
    const Case cases[] = {
        {"version 1", 0, 1, false, 0},
        {"difficulty 3", 4, 3, false, 0},
        {"square x 9", 8, 9, false, 0},
        {"level 0", 16, 0, false, 0},
        {"level type 8", 28, 8, false, 0},
        {"map difficulty 101", 32, 101, false, 0},
        {"power kind 7", 36, 7, false, 0},
        {"NaN modifier", kModifiersAt, 0, true, nan},
        {"modifier 1.5", kModifiersAt + 36, 0, true, 1.5f},
        {"width 0", kBoardAt, 0, false, 0},
        {"width 13", kBoardAt, 13, false, 0},
        {"height 11", kBoardAt + 4, 11, false, 0},
        {"infinite grid x", kBoardAt + 8, 0, true, INFINITY},
        {"cell size 0", g, 0, true, 0.0f},
        {"no kinds", g + 8, 0, false, 0},
        {"nine kinds", g + 8, 9, false, 0},
        {"board level type 8", g + 78, 8, false, 0},
        {"GoGold without marks", g + 78, 5, false, 0},
        {"collect kind 8", g + 179, 8, false, 0},
        {"level-up state 3", kLevelupStateAt, 3, false, 0},
        {"piece count 2^31-1", kPieceCountAt, INT32_MAX, false, 0},
        {"piece count 65", kPieceCountAt, 65, false, 0},
        {"piece count -1", kPieceCountAt, -1, false, 0},
        {"piece off the grid", kFirstPieceAt, 0, true, 600.0f},
        {"piece kind 8", kFirstPieceAt + 16, 8, false, 0},
        {"NaN piece scale", kFirstPieceAt + 20, 0, true, nan},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = MakeSave({});
        if (c.isFloat)
            PutFloat(bytes, c.at, c.floatValue);
        else
            Put(bytes, c.at, c.value);
        EXPECT_FALSE(IsValid(bytes)) << c.what;
    }
}

TEST(SaveValidatorTest, RefusesFlagsWithoutTheirObjects)
{
    struct Case {
        const char* what;
        GameMode mode;
        Layout layout;
        int fromEnd; // the byte set to 1, counted back from the end
        uint8_t value;
    };
    const Case cases[] = {
        {"map shown without a map", GameMode::Casual, {}, 3, 1},
        {"opponent shown without one", GameMode::Casual, {}, 1, 1},
        {"a bool of 2", GameMode::Casual, {}, 2, 2},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = MakeSave(c.layout);
        bytes[bytes.size() - size_t(c.fromEnd)] = c.value;
        EXPECT_FALSE(IsValid(bytes, c.mode)) << c.what;
    }
    // A map in a Casual file, and a journey level without its map.
    std::vector<uint8_t> withMap = MakeSave({6, 9, false, 7, 5, true});
    EXPECT_FALSE(IsValid(withMap, GameMode::Casual));
    std::vector<uint8_t> noMap = MakeSave({6, 9, false, 7, 5});
    EXPECT_FALSE(IsValid(noMap, GameMode::Journey));
    // Overlays the mode never shows: a win outside a journey, a level-up
    // inside one.
    Layout casualWin;
    casualWin.overlay = Layout::Win;
    EXPECT_FALSE(IsValid(MakeSave(casualWin), GameMode::Casual));
    EXPECT_FALSE(IsValid(MakeSave(casualWin), GameMode::Speed));
    Layout journeyLevelup{6, 9, false, 7, 5, true};
    journeyLevelup.overlay = Layout::Levelup;
    EXPECT_FALSE(IsValid(MakeSave(journeyLevelup), GameMode::Journey));
    // Present flags whose records are not there.
    for (size_t at : {size_t(kMapFlagAt), kLoseFlagAt}) {
        std::vector<uint8_t> bytes = MakeSave({});
        bytes[at] = 1;
        EXPECT_FALSE(IsValid(bytes)) << at;
    }
}

TEST(SaveValidatorTest, SurvivesSeededMutations)
{
    std::vector<uint8_t> whole = MakeSave({6, 9, false, 7, 54, true, 3, true});
    Random random;
    random.Seed(1234);
    // Under the sanitizers: no read outside the bytes, whatever they hold.
    for (int round = 0; round < 5000; ++round) {
        std::vector<uint8_t> bytes = whole;
        int changes = 1 + random.Get(4);
        for (int i = 0; i < changes; ++i)
            bytes[size_t(random.Get(int32_t(bytes.size())))] = uint8_t(random.Get(256));
        IsValid(bytes, GameMode::Journey);
    }
}
