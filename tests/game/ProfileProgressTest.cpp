// The per-profile progress block: its byte layout, the block of a new
// profile, and reading and writing the profile's file.
#include "game/ProfileProgress.h"
#include "game/MapSquare.h"
#include "game/QuorbSwapApp.h"

#include "app/Random.h"
#include "support/ScopedVariable.h"
#include "support/TemporaryDesktop.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes ToBytes(const ProfileProgress& block)
{
    Bytes bytes(sizeof block);
    std::memcpy(bytes.data(), &block, sizeof block);
    return bytes;
}

void PutU32(Bytes& bytes, size_t offset, uint32_t v)
{
    std::memcpy(&bytes[offset], &v, 4);
}

void PutF32(Bytes& bytes, size_t offset, float v)
{
    std::memcpy(&bytes[offset], &v, 4);
}

// An application with its data folder and profiles but no window: enough
// for the progress block, which lives in a profile's folder.
class ProgressFiles : public testing::Test
{
  protected:
    void SetUp() override
    {
        app = std::make_unique<QuorbSwapApp>();
        app->ResolveDataFolder();
        app->profiles.Load(app->GetConfigPath());
        theRandom->Seed(1234);
    }
    void TearDown() override
    {
        app.reset();
    }

    fs::path ProgressPath(const char* profile) const
    {
        return fs::path(app->GetDataFolder().CStr()) / "Profiles" / profile / "config.cfg";
    }

    TemporaryDesktop desktop;
    TemporaryFolder data;
    const ScopedVariable dataHome{"XDG_DATA_HOME", data.Path().c_str()};
    std::unique_ptr<QuorbSwapApp> app;
};

} // namespace

TEST(ProfileProgressLayout, FieldsSitAtTheirFileOffsets)
{
    const std::pair<size_t, size_t> offsets[] = {
        {offsetof(ProfileProgress, version), 0},
        {offsetof(ProfileProgress, quorbsPopped), 4},
        {offsetof(ProfileProgress, journeyLevelsLost), 12},
        {offsetof(ProfileProgress, highestCascade), 24},
        {offsetof(ProfileProgress, casualGamesPlayed), 40},
        {offsetof(ProfileProgress, highestJourneyLevel), 56},
        {offsetof(ProfileProgress, currentJigsaw), 60},
        {offsetof(ProfileProgress, pieces), 64},
        {offsetof(ProfileProgress, tutorialShown), 1264},
        {offsetof(ProfileProgress, reserved), 1274},
        {sizeof(ProfileProgress), 1284},
        {offsetof(JigsawPieceRecord, puzzleId), 4},
        {offsetof(JigsawPieceRecord, owned), 8},
        {offsetof(JigsawPieceRecord, placed), 9},
        {offsetof(JigsawPieceRecord, x), 12},
        {offsetof(JigsawPieceRecord, y), 16},
        {offsetof(MapSquare, type), 12},
        {offsetof(MapSquare, color), 20},
        {offsetof(MapSquare, piece), 40},
    };
    for (auto [offset, expected] : offsets)
        EXPECT_EQ(offset, expected);
}

TEST(ProfileProgressLayout, NewBlockHasThreeDifferentLoosePiecesPerPictureInDrawOrder)
{
    theRandom->Seed(77);
    ProfileProgress block = ProfileProgress::CreateNew();

    // The same draws made by hand, in the same order.
    theRandom->Seed(77);
    for (int picture = 0; picture < 3; ++picture) {
        std::set<int> owned;
        for (int i = 0; i < 3; ++i) {
            int piece;
            do
                piece = theRandom->Get(20);
            while (owned.count(piece) != 0);
            owned.insert(piece);
            float x = theRandom->GetFloatScaled(495.0f) - 15.0f;
            float y = theRandom->GetFloatScaled(402.0f) - 15.0f;
            const JigsawPieceRecord& r = block.pieces[picture * 20 + piece];
            EXPECT_EQ(r.owned, 1);
            EXPECT_EQ(r.placed, 0);
            EXPECT_FLOAT_EQ(r.x, x);
            EXPECT_FLOAT_EQ(r.y, y);
            EXPECT_TRUE(x >= -15.0f && x <= 480.0f && y >= -15.0f && y <= 387.0f);
        }
        int ownedCount = 0;
        for (int piece = 0; piece < 20; ++piece)
            ownedCount += block.pieces[picture * 20 + piece].owned;
        EXPECT_EQ(ownedCount, 3) << "picture " << picture;
    }
    EXPECT_EQ(block.version, 1u);
    EXPECT_EQ(block.quorbsPopped, 0u);
    EXPECT_EQ(block.currentJigsaw, 0u);
}

TEST(ProfileProgressLayout, SanitizeMendsWhatAFileCannotBeTrustedWith)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case
    {
        uint32_t jigsaw;
        uint8_t flag;
        float x, y;
        uint32_t wantJigsaw;
        uint8_t wantFlag;
        float wantX, wantY;
    };
    const Case cases[] = {
        {2, 1, 100, 200, 2, 1, 100, 200},   // good values stay
        {1, 1, 600, 450, 1, 1, 600, 450},   // anywhere on the screen
        {3, 2, nan, inf, 0, 0, -168, -129}, // no such picture, odd flag, not numbers
        {0xFFFFFFFF, 255, 1e9f, -1e9f, 0, 0, 632, -129},
        {1, 0, -169, 472, 1, 0, -168, 471}, // just off the screen
    };
    for (const Case& c : cases) {
        ProfileProgress block{};
        block.currentJigsaw = c.jigsaw;
        block.pieces[5].owned = c.flag;
        block.pieces[5].placed = c.flag;
        block.pieces[5].x = c.x;
        block.pieces[5].y = c.y;
        block.tutorialShown[3] = c.flag;
        block.reserved[4] = 0xAB;
        block.pieces[5].unused[1] = 0xCD;
        block.Sanitize();
        EXPECT_EQ(block.currentJigsaw, c.wantJigsaw);
        EXPECT_EQ(block.pieces[5].owned, c.wantFlag);
        EXPECT_EQ(block.pieces[5].placed, c.wantFlag);
        EXPECT_EQ(block.tutorialShown[3], c.wantFlag);
        EXPECT_FLOAT_EQ(block.pieces[5].x, c.wantX);
        EXPECT_FLOAT_EQ(block.pieces[5].y, c.wantY);
        EXPECT_EQ(block.reserved[4], 0xAB) << "reserved bytes are kept";
        EXPECT_EQ(block.pieces[5].unused[1], 0xCD);
    }
}

TEST_F(ProgressFiles, FilesOfEveryShapeLoadAsTheRulesSay)
{
    ProfileProgress good = ProfileProgress::CreateNew();
    good.quorbsPopped = 4242;
    good.pieces[7].pieceId = 99; // identifiers are rewritten from the index
    Bytes goodBytes = ToBytes(good);

    Bytes shortFile(goodBytes.begin(), goodBytes.begin() + 10);
    Bytes wrongVersion = goodBytes;
    PutU32(wrongVersion, 0, 2);
    Bytes hostile = goodBytes;
    PutU32(hostile, 60, 7);
    hostile[64 + 20 * 3 + 8] = 9;
    PutF32(hostile, 64 + 20 * 3 + 12, std::nanf(""));

    struct Case
    {
        const char* what;
        const Bytes* file; // null: no file
        bool fresh;        // a new block was made
        uint32_t popped;
    };
    const Case cases[] = {
        {"no file", nullptr, true, 0},
        {"good file", &goodBytes, false, 4242},
        {"short file", &shortFile, false, 4242},
        {"other version", &wrongVersion, true, 0},
        {"hostile values", &hostile, false, 4242},
    };
    ASSERT_TRUE(app->profiles.Add("Ann"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(ProgressPath("Ann"));
        if (c.file != nullptr)
            WriteFile(ProgressPath("Ann"), *c.file);
        app->LoadConfig();
        const ProfileProgress& p = app->progress;
        EXPECT_TRUE(app->progressLoaded);
        EXPECT_EQ(p.version, 1u);
        EXPECT_EQ(p.quorbsPopped, c.popped);
        int owned = 0;
        for (int i = 0; i < 60; ++i) {
            EXPECT_EQ(p.pieces[i].pieceId, uint32_t(i % 20));
            EXPECT_EQ(p.pieces[i].puzzleId, uint32_t(i / 20));
            EXPECT_LE(p.pieces[i].owned, 1);
            EXPECT_TRUE(std::isfinite(p.pieces[i].x));
            owned += p.pieces[i].owned;
        }
        if (c.fresh || c.file == &goodBytes) {
            EXPECT_EQ(owned, 9);
        }
        EXPECT_LE(p.currentJigsaw, 2u);
    }
}

TEST_F(ProgressFiles, SavingWritesTheBlockOnlyToItsOwnProfileWhileItExists)
{
    // Nothing is written before a block was loaded.
    app->SaveConfig();
    EXPECT_FALSE(fs::exists(ProgressPath("Nobody")));

    ASSERT_TRUE(app->profiles.Add("Ann"));
    app->LoadConfig();
    app->progress.quorbsPopped = 11;
    ASSERT_TRUE(app->profiles.Add("Bob")); // Bob is current now
    app->SaveConfig();
    EXPECT_EQ(ReadFile(ProgressPath("Ann")).size(), 1284u);
    EXPECT_FALSE(fs::exists(ProgressPath("Bob"))) << "Ann's block went into Bob's folder";

    // A longer file keeps its tail; the block is written at its start.
    Bytes longer = ReadFile(ProgressPath("Ann"));
    longer.push_back(0x5A);
    WriteFile(ProgressPath("Ann"), longer);
    app->progress.quorbsPopped = 12;
    app->SaveConfig();
    Bytes written = ReadFile(ProgressPath("Ann"));
    ASSERT_EQ(written.size(), 1285u);
    EXPECT_EQ(written[1284], 0x5A);
    EXPECT_EQ(written[4], 12);

    // Once Ann is gone, her block is written nowhere.
    app->profiles.Delete(app->profiles.GetCurrentIndex() - 1);
    app->SaveConfig();
    EXPECT_FALSE(fs::exists(ProgressPath("Ann")));
    EXPECT_FALSE(fs::exists(ProgressPath("Bob")));
}
