#include "app/CrashCatcher.h"
#include "app/HighScoreList.h"
#include "app/IOBuffer.h"
#include "app/ProfileManager.h"
#include "app/Registry.h"
#include "platform/Crash.h"
#include "support/ChildExit.h"

#include "support/TemporaryFolder.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A player's files must survive the program being killed at any moment of a
// save: afterwards each one reads back whole, as before the save or after it.
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Two versions of every kind of file the program keeps, written in turn
// through the code that writes them in play.
struct Files
{
    std::string folder;

    std::string Block() const { return folder + "/config.cfg"; }
    std::string Scores() const { return folder + "/Casual.hs"; }
    std::string Settings() const { return folder + "/settings.cfg"; }

    void Save(int version) const
    {
        // A progress block's size, every byte telling the version.
        IOBuffer block;
        const std::string bytes(1284, char(0x11 * (version + 1)));
        block.WriteBytes(bytes.data(), int32_t(bytes.size()));
        block.Save(Block().c_str());

        HighScoreList scores;
        scores.SetSize(5);
        scores.file = Scores().c_str();
        for (int i = 0; i < 5; ++i)
            scores.Insert(version ? "Second" : "First", 1000 * (i + 1) + version);
        scores.Save();

        ProfileManager profiles;
        profiles.settingsPath = Settings().c_str();
        profiles.loaded = true;
        profiles.Add(version ? "Ann" : "Bob");
        profiles.Save();
    }
    std::vector<std::string> Read() const { return {ReadFile(Block()), ReadFile(Scores()), ReadFile(Settings())}; }
};

} // namespace

TEST(CrashSafeSaveTest, KilledWhileSavingLeavesEveryFileWhole)
{
    TemporaryFolder folder;
    const Files files{folder.Path()};
    std::vector<std::string> versions[2];
    for (int v = 0; v < 2; ++v) {
        files.Save(v);
        versions[v] = files.Read();
    }
    const char* const kinds[] = {"progress block", "high scores", "profile list"};

    std::mt19937 random(1234);
    std::uniform_int_distribution<int> delayMicroseconds(0, 20000);
    constexpr int kKills = 300;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = StartWorkingChild([&files, kill] {
            for (int version = kill % 2;; version ^= 1)
                files.Save(version);
        });
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::vector<std::string> now = files.Read();
        for (size_t i = 0; i < now.size(); ++i)
            ASSERT_TRUE(now[i] == versions[0][i] || now[i] == versions[1][i])
                << kinds[i] << " damaged by kill " << kill;
    }
    HighScoreList scores;
    scores.SetSize(5);
    scores.Load(files.Scores().c_str());
    EXPECT_GE(scores.GetScore(4), 1000);
    ProfileManager profiles;
    profiles.Load(files.Settings().c_str());
    EXPECT_EQ(profiles.GetCount(), 1);
}

// Someone who can write in the data folder puts a link where each file goes;
// every write replaces the link with a file of its own, and what the link
// names is never touched: the progress block (the path of saved games and
// the sound cache too), the high scores, the settings and the crash report.
TEST(CrashSafeSaveTest, ALinkInPlaceOfAFileIsReplacedNeverWrittenThrough)
{
    namespace fs = std::filesystem;
    TemporaryFolder folder;
    const Files files{folder.Path()};
    const std::string report = folder / "CrashReport.txt";
    std::vector<std::string> paths = {files.Block(), files.Scores(), files.Settings(), report};
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string target = folder / ("precious" + std::to_string(i));
        std::ofstream(target) << "keep";
        fs::create_symlink(target, paths[i]);
    }

    files.Save(0);
    CrashCatcher catcher;
    catcher.reportPath = report.c_str();
    catcher.reporterPath = folder / "no-reporter";
    catcher.Filter(Platform::Crash::Fault());

    for (size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(ReadFile(folder / ("precious" + std::to_string(i))), "keep") << paths[i];
        EXPECT_FALSE(fs::is_symlink(paths[i])) << paths[i];
    }
    EXPECT_EQ(ReadFile(report).rfind("<MODULE>", 0), 0u);
}
