// The piece record and the piece animations' bookkeeping.
#include "game/support/SavedFields.h"
#include "game/support/TextBoard.h"

#include "app/IOBuffer.h"
#include "app/Random.h"
#include "game/Quorb.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

// A piece with a different value in every saved field.
void FillFields(Quorb& q, float cell)
{
    q.pos = Point(cell * 1.5f, cell * 0.5f);
    q.drawOffset = Point(-3.0f, -4.0f);
    q.kind = 5;
    q.scale = 0.9f;
    q.swapping = true;
    q.moveMid = Point(1.0f, 2.0f);
    q.moveDir = Point(0.0f, -1.0f);
    q.moveAngle = 120.0f;
    q.popping = true;
    q.popScale = 0.25f;
    q.popFlash = 0.75f;
    q.falling = true;
    q.fallSpeed = 1.25f;
    q.super = true;
    q.pulsePhase = 44.0f;
    q.age = 77;
    q.hitPoints = 3;
    q.hitShaking = true;
    q.shakeOffset = Point(0.5f, -0.5f);
    q.shakeAmplitude = 2.5f;
    q.skull = true;
    q.changeDelay = 6;
    q.changing = true;
    q.changeScale = 0.4f;
    q.reserved = 1234;
    q.flying = false;
    q.flyAngle = 33.0f;
    q.flyHeight = 250.0f;
    q.flyDistance = -180.0f;
    q.flyScale = 2.0f;
    q.flyPos = Point(7.0f, 8.0f);
    q.flySide = -1.0f;
    q.flySpeed = 1.75f;
    q.levelSkull = true;
}

std::vector<uint8_t> Record(Quorb& q)
{
    IOBuffer buffer;
    q.Save(buffer);
    return std::vector<uint8_t>(buffer.GetData(), buffer.GetData() + buffer.GetSize());
}

// A buffer to read the bytes from, by way of a file as the game reads them.
void LoadBytes(IOBuffer& buffer, const TemporaryFolder& folder, const std::vector<uint8_t>& bytes)
{
    IOBuffer out;
    out.WriteBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
    const String path((folder / "piece.dat").c_str());
    ASSERT_TRUE(out.Save(path));
    buffer.Load(path);
}

template <typename T> void Put(std::vector<uint8_t>& bytes, int offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

} // namespace

// Every field at the offset and in the encoding of the file format's table:
// a blank piece (every field 0) with one field set must write that field's
// bytes there and nothing else.
TEST(QuorbTest, EveryFieldLiesAtItsOffset)
{
    using Q = SavedFields::Entry<Quorb>;
    const std::vector<Q> fields = {
        Q{0, +[](Quorb& q) -> float& { return q.pos.x; }},
        Q{4, +[](Quorb& q) -> float& { return q.pos.y; }},
        Q{8, +[](Quorb& q) -> float& { return q.drawOffset.x; }},
        Q{12, +[](Quorb& q) -> float& { return q.drawOffset.y; }},
        Q{16, +[](Quorb& q) -> int32_t& { return q.kind; }},
        Q{20, +[](Quorb& q) -> float& { return q.scale; }},
        Q{24, +[](Quorb& q) -> bool& { return q.swapping; }},
        Q{25, +[](Quorb& q) -> float& { return q.moveMid.x; }},
        Q{29, +[](Quorb& q) -> float& { return q.moveMid.y; }},
        Q{33, +[](Quorb& q) -> float& { return q.moveDir.x; }},
        Q{37, +[](Quorb& q) -> float& { return q.moveDir.y; }},
        Q{41, +[](Quorb& q) -> float& { return q.moveAngle; }},
        Q{45, +[](Quorb& q) -> bool& { return q.popping; }},
        Q{46, +[](Quorb& q) -> float& { return q.popScale; }},
        Q{50, +[](Quorb& q) -> float& { return q.popFlash; }},
        Q{54, +[](Quorb& q) -> bool& { return q.falling; }},
        Q{55, +[](Quorb& q) -> float& { return q.fallSpeed; }},
        Q{59, +[](Quorb& q) -> bool& { return q.super; }},
        Q{60, +[](Quorb& q) -> float& { return q.pulsePhase; }},
        Q{64, +[](Quorb& q) -> int32_t& { return q.age; }},
        Q{68, +[](Quorb& q) -> int32_t& { return q.hitPoints; }},
        Q{72, +[](Quorb& q) -> bool& { return q.hitShaking; }},
        Q{73, +[](Quorb& q) -> float& { return q.shakeOffset.x; }},
        Q{77, +[](Quorb& q) -> float& { return q.shakeOffset.y; }},
        Q{81, +[](Quorb& q) -> float& { return q.shakeAmplitude; }},
        Q{85, +[](Quorb& q) -> bool& { return q.skull; }},
        Q{86, +[](Quorb& q) -> int32_t& { return q.changeDelay; }},
        Q{90, +[](Quorb& q) -> bool& { return q.changing; }},
        Q{91, +[](Quorb& q) -> float& { return q.changeScale; }},
        Q{95, +[](Quorb& q) -> int32_t& { return q.reserved; }},
        Q{99, +[](Quorb& q) -> bool& { return q.flying; }},
        Q{100, +[](Quorb& q) -> float& { return q.flyAngle; }},
        Q{104, +[](Quorb& q) -> float& { return q.flyHeight; }},
        Q{108, +[](Quorb& q) -> float& { return q.flyDistance; }},
        Q{112, +[](Quorb& q) -> float& { return q.flyScale; }},
        Q{116, +[](Quorb& q) -> float& { return q.flyPos.x; }},
        Q{120, +[](Quorb& q) -> float& { return q.flyPos.y; }},
        Q{124, +[](Quorb& q) -> float& { return q.flySide; }},
        Q{128, +[](Quorb& q) -> float& { return q.flySpeed; }},
        Q{132, +[](Quorb& q) -> bool& { return q.levelSkull; }},
    };
    auto board = TextBoard::Make({"0"});
    for (const Q& marked : fields) {
        std::vector<uint8_t> expected(static_cast<size_t>(Quorb::kRecordSize), 0);
        const std::vector<uint8_t> written = SavedFields::WriteMarked(
            fields, marked, [&] { return std::make_unique<Quorb>(board.get()); }, Record, expected);
        EXPECT_EQ(written, expected) << "field at " << marked.offset;
    }
}

TEST(QuorbTest, RecordIs133BytesAndRoundTrips)
{
    auto board = TextBoard::Make({"012", "345"});
    Quorb original(board.get());
    FillFields(original, board->cellSize);
    const std::vector<uint8_t> bytes = Record(original);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(Quorb::kRecordSize));
    EXPECT_EQ(bytes[16], 5);    // kind
    EXPECT_EQ(bytes[24], 1);    // swapping
    EXPECT_EQ(bytes[95], 0xD2); // reserved, low byte of 1234
    EXPECT_EQ(bytes[132], 1);   // levelSkull
    EXPECT_TRUE(Quorb::IsValidRecord(bytes.data(), static_cast<int32_t>(bytes.size()), *board));

    TemporaryFolder folder;
    IOBuffer in;
    LoadBytes(in, folder, bytes);
    Quorb copy(board.get());
    copy.Load(in);
    EXPECT_FALSE(in.HasError());
    EXPECT_EQ(Record(copy), bytes);
    EXPECT_EQ(copy.pendingMoves, 0) << "unsaved fields keep their constructor values";
}

TEST(QuorbTest, ValidatorRefusesDamagedRecords)
{
    auto board = TextBoard::Make({"012", "345"});
    Quorb piece(board.get());
    FillFields(piece, board->cellSize);
    const std::vector<uint8_t> good = Record(piece);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float gridW = 3.0f * board->cellSize;
    struct Case
    {
        const char* what;
        void (*damage)(std::vector<uint8_t>&, float, float, float);
    } cases[] = {
        {"bool 2", [](std::vector<uint8_t>& b, float, float, float) { b[45] = 2; }},
        {"NaN scale", [](std::vector<uint8_t>& b, float n, float, float) { Put(b, 20, n); }},
        {"infinite fly speed", [](std::vector<uint8_t>& b, float, float i, float) { Put(b, 128, i); }},
        {"kind 8", [](std::vector<uint8_t>& b, float, float, float) { Put<int32_t>(b, 16, 8); }},
        {"kind -1", [](std::vector<uint8_t>& b, float, float, float) { Put<int32_t>(b, 16, -1); }},
        {"x past the grid", [](std::vector<uint8_t>& b, float, float, float w) { Put(b, 0, w); }},
        {"negative y", [](std::vector<uint8_t>& b, float, float, float) { Put(b, 4, -1.0f); }},
        {"falling upwards", [](std::vector<uint8_t>& b, float, float, float) { Put(b, 55, -3e38f); }},
        {"a change due in -2^31 ticks",
         [](std::vector<uint8_t>& b, float, float, float) { Put(b, 86, INT32_MIN); }},
        // Animations end on the tick they reach their end.
        {"swapping past 180 degrees",
         [](std::vector<uint8_t>& b, float, float, float) { Put(b, 41, 180.0f); }},
        {"shaking with no amplitude", [](std::vector<uint8_t>& b, float, float, float) { Put(b, 81, 0.0f); }},
        {"flying too fast",
         [](std::vector<uint8_t>& b, float, float, float) {
             b[99] = 1;
             Put(b, 128, 11.0f);
         }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        c.damage(bad, nan, inf, gridW);
        EXPECT_FALSE(Quorb::IsValidRecord(bad.data(), static_cast<int32_t>(bad.size()), *board)) << c.what;
    }
    EXPECT_FALSE(Quorb::IsValidRecord(good.data(), Quorb::kRecordSize - 1, *board)) << "cut short";
}

TEST(QuorbTest, FlyingPieceLandsAsSkullAndLeavesTheFlightList)
{
    auto board = TextBoard::Make({"012"});
    theRandom->Seed(8);
    Quorb* piece = TextBoard::PieceIn(*board, 1, 0);
    piece->MakeSuper();
    piece->StartFlyIn();
    EXPECT_EQ(board->flyingPieces.Count(), 1);
    EXPECT_EQ(board->movingCount, 1);
    int ticks = 0;
    while (piece->flying && ticks < 1000) {
        piece->Update();
        ticks++;
    }
    EXPECT_TRUE(piece->skull);
    EXPECT_FALSE(piece->super);
    EXPECT_EQ(board->flyingPieces.Count(), 0);
    EXPECT_EQ(board->movingCount, 0);
    EXPECT_EQ(board->effects.Count(), 8) << "eight chips on landing";

    // A piece deleted in mid-flight leaves no trace on the board.
    Quorb* other = TextBoard::PieceIn(*board, 2, 0);
    other->StartFlyIn();
    board->pieces.Remove(other);
    delete other;
    EXPECT_EQ(board->flyingPieces.Count(), 0);
    EXPECT_EQ(board->movingCount, 0);
}

TEST(QuorbTest, SkullsTakeHitsThenShatter)
{
    auto board = TextBoard::Make({"x1"});
    theRandom->Seed(12);
    Quorb* skull = TextBoard::PieceIn(*board, 0, 0);
    skull->Hit(1);
    skull->Hit(1); // still shaking: no second hit point lost
    EXPECT_EQ(skull->hitPoints, 1);
    for (int tick = 0; tick < 60; tick++)
        skull->Update();
    EXPECT_FALSE(skull->hitShaking);
    EXPECT_FALSE(skull->popping);
    skull->Hit(1);
    for (int tick = 0; tick < 60; tick++)
        skull->Update();
    EXPECT_TRUE(skull->popping) << "the second hit shatters it";
    EXPECT_TRUE(board->refillPending);
    TextBoard::PieceIn(*board, 1, 0)->Hit(1);
    EXPECT_FALSE(TextBoard::PieceIn(*board, 1, 0)->hitShaking) << "only skulls take hits";
}

TEST(QuorbTest, ChangeIntoSkullShrinksThenGrowsBack)
{
    auto board = TextBoard::Make({"3"});
    theRandom->Seed(6);
    Quorb* piece = TextBoard::PieceIn(*board, 0, 0);
    piece->StartChange(0);
    EXPECT_EQ(piece->changeDelay, 1);
    int ticks = 0;
    while (piece->changing && ticks < 1000) {
        piece->Update();
        ticks++;
    }
    EXPECT_TRUE(piece->skull);
    EXPECT_FLOAT_EQ(piece->scale, 1.0f);
    EXPECT_EQ(board->movingCount, 0);
    // 80 ticks of shaking from the end of the delay, the last of them the
    // first of 20 shrinking, then 14 growing.
    EXPECT_EQ(ticks, 80 + 19 + 14);
}
