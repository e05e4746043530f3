#include "platform/Files.h"

#include "support/FileModes.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <iostream>
#include <iterator>
#include <sched.h>
#include <sstream>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace Platform::Files;

TEST(FilesTest, FindsComponentsWithoutRegardToCase)
{
    TemporaryFolder folder;
    fs::create_directories(folder / "graphics/Jigsaws");
    folder.WriteText("graphics/Jigsaws/Info.cfg", "x");

    std::string written = folder.Path() + "\\Graphics\\jigsaws\\INFO.CFG";
    EXPECT_EQ(Resolve(written), folder / "graphics/Jigsaws/Info.cfg");
    EXPECT_EQ(Exists(written), Presence::Readable);
    EXPECT_TRUE(IsFolder(folder.Path() + "\\GRAPHICS"));
    EXPECT_FALSE(IsFolder(written));

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWhole(written, bytes));
    EXPECT_EQ(bytes, std::vector<uint8_t>{'x'});
}

TEST(FilesTest, MissingPartsKeepTheirSpellingSoNewFilesCanBeNamed)
{
    TemporaryFolder folder;
    fs::create_directories(folder / "Profiles");
    EXPECT_EQ(Resolve(folder.Path() + "\\profiles\\New\\game.sav"), folder / "Profiles/New/game.sav");
    EXPECT_EQ(Exists(folder.Path() + "\\profiles\\New"), Presence::Missing);
    std::vector<uint8_t> bytes{1, 2, 3};
    EXPECT_FALSE(ReadWhole(folder.Path() + "/missing", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(FilesTest, AnExactMatchWinsOverOtherCases)
{
    TemporaryFolder folder;
    folder.WriteText("Data.txt", "upper");
    folder.WriteText("data.txt", "lower");
    EXPECT_EQ(Resolve(folder / "data.txt"), folder / "data.txt");
    EXPECT_EQ(Resolve(folder / "Data.txt"), folder / "Data.txt");
    // With no exact match the case-insensitive listing order decides.
    EXPECT_EQ(Resolve(folder / "DATA.TXT"), folder / "Data.txt");
}

TEST(FilesTest, ListingIsSortedWithoutRegardToCase)
{
    TemporaryFolder folder;
    folder.WriteText("beta", "");
    folder.WriteText("Alpha", "");
    folder.WriteText("gamma", "");
    fs::create_directory(folder / "Delta");
    std::vector<FolderEntry> entries = ListFolder(folder.Path());
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "Alpha");
    EXPECT_EQ(entries[1].name, "beta");
    EXPECT_EQ(entries[2].name, "Delta");
    EXPECT_TRUE(entries[2].isFolder);
    EXPECT_EQ(entries[3].name, "gamma");
    EXPECT_FALSE(entries[3].isFolder);
    EXPECT_TRUE(ListFolder(folder / "none").empty());
}

TEST(FilesTest, WriteWholeReplacesAtomically)
{
    TemporaryFolder folder;
    folder.WriteText("save.dat", "old contents");
    ASSERT_TRUE(WriteWhole(folder / "save.dat", "new", 3));
    EXPECT_EQ(folder.ReadText("save.dat"), "new");
    // No temporary file is left beside it.
    EXPECT_EQ(ListFolder(folder.Path()).size(), 1u);
    struct stat info;
    ASSERT_EQ(stat((folder / "save.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    EXPECT_TRUE(WriteWhole(folder / "empty.dat", nullptr, 0));
    EXPECT_EQ(fs::file_size(folder / "empty.dat"), 0u);
}

namespace {
// A process number that names no process any more.
pid_t EndedProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// The name the game gives a temporary file of "name" written by that
// process in that run.
std::string TemporaryOf(const std::string& name, pid_t process, const std::string& run)
{
    return "." + name + ".qs-unfinished-" + std::to_string(process) + "-" + run + "-a1B2c3";
}

// While not -1, the monotonic clock stands still at this many nanoseconds
// past its second: a write's temporary file takes the same names, try by
// try, at each write.
long stillNanoseconds = -1;

struct StillClock
{
    StillClock() { stillNanoseconds = 5000; }
    ~StillClock() { stillNanoseconds = -1; }
    StillClock(const StillClock&) = delete;
    StillClock& operator=(const StillClock&) = delete;
};
} // namespace

extern "C" int __real_clock_gettime(clockid_t clock, timespec* now);

extern "C" int __wrap_clock_gettime(clockid_t clock, timespec* now)
{
    const int got = __real_clock_gettime(clock, now);
    if (got == 0 && clock == CLOCK_MONOTONIC && stillNanoseconds >= 0)
        now->tv_nsec = stillNanoseconds;
    return got;
}

namespace {
// The name a write of "name" gives its first temporary file, seen made in
// a folder of its own.
std::string FirstTemporaryOf(const std::string& name)
{
    TemporaryFolder folder;
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    inotify_add_watch(watch, folder.Path().c_str(), IN_CREATE);
    WriteWhole(folder / name, "x", 1);
    alignas(inotify_event) char events[4096];
    const ssize_t got = read(watch, events, sizeof(events));
    close(watch);
    const auto* first = reinterpret_cast<const inotify_event*>(events);
    return got > 0 && first->len > 0 ? first->name : "";
}

// A file held locked as a running write holds its temporary file.
int LockedFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd >= 0 && flock(fd, LOCK_EX) == 0 ? fd : -1;
}

constexpr int kWrites = 3000;

// How many of kWrites writes of "name" failed.
int FailedWrites(const std::string& path)
{
    const std::string bytes(64, 'x');
    int failed = 0;
    for (int i = 0; i < kWrites; ++i)
        failed += WriteWhole(path, bytes.data(), bytes.size()) ? 0 : 1;
    return failed;
}
} // namespace

// A write cut by the death of the process leaves its temporary file; the
// next write into the same folder, given with its folder or in the working
// folder, clears the game's own leftovers of any file, and nothing else:
// not a player's file, nor a temporary file its writer holds locked,
// whatever process number its name gives.
TEST(FilesTest, WriteWholeClearsOnlyTheGamesOwnLeftTemporaries)
{
    const std::string ended = std::to_string(EndedProcess());
    struct Case
    {
        std::string name;
        bool locked;
        bool cleared;
    };
    const Case cases[] = {
        {".notes.backup", false, false},
        {".env.sample", false, false},
        {".todo.2024v1", false, false},
        {".config.cfg.backup", false, false}, // a player's: no marker
        {".config.cfg.a1B2c3", false, false},
        {".profile.Tester", false, false},
        {"config.cfg.damaged", false, false},
        {TemporaryOf("speed.sav", EndedProcess(), "5f3a"), false, true},
        {TemporaryOf("config.cfg", getppid(), "5f3a"), false, true}, // a live process number, unlocked
        {TemporaryOf("Normal.hs", getpid(), "earlier"), false, true},
        {TemporaryOf("Normal.hs", EndedProcess(), "5f3b"), true, false}, // a running write
        {TemporaryOf("Normal.hs", 1, "5f3c"), true, false},
        {".qs-unfinished-" + ended + "-5f3a-a1B2c3", false, false}, // no file's name
        {TemporaryOf("speed.sav", EndedProcess(), "5f3a") + "4", false, false},
        {".speed.sav.qs-unfinished-x1-5f3a-a1B2c3", false, false},
        {".folder.qs-unfinished-" + ended + "-5f3a-a1B2c3", false, false}, // a folder is never ours
    };
    for (const bool workingFolder : {false, true}) {
        SCOPED_TRACE(workingFolder ? "in the working folder" : "in a folder given");
        TemporaryFolder folder;
        std::vector<int> locks;
        for (const Case& c : cases) {
            folder.WriteText(c.name, "cut");
            if (c.locked)
                locks.push_back(LockedFile(folder / c.name));
        }
        fs::remove(folder / cases[std::size(cases) - 1].name);
        fs::create_directory(folder / cases[std::size(cases) - 1].name);
        // A link of the pattern is left, and what it names is never touched,
        // even where it has the name the write's temporary file takes
        // first: the write takes another.
        const StillClock still;
        folder.WriteText("precious", "keep");
        const std::string link = FirstTemporaryOf("config.cfg");
        ASSERT_NE(link, "");
        fs::create_symlink(folder / "precious", folder / link);

        const fs::path previous = fs::current_path();
        fs::current_path(workingFolder ? fs::path(folder.Path()) : previous);
        const bool written = WriteWhole(workingFolder ? "config.cfg" : folder / "config.cfg", "new", 3);
        fs::current_path(previous);
        for (int fd : locks)
            close(fd);
        ASSERT_TRUE(written);
        for (const Case& c : cases)
            EXPECT_EQ(fs::exists(folder / c.name), !c.cleared) << c.name;
        EXPECT_TRUE(fs::is_symlink(folder / link));
        EXPECT_EQ(folder.ReadText("precious"), "keep");
        EXPECT_EQ(folder.ReadText("config.cfg"), "new");
    }
}

// Writes of several files into one folder at once, from threads of this
// process and from another process: none takes another's temporary file
// from under it, so every write succeeds and none leaves anything behind.
TEST(FilesTest, WritesAtOnceIntoOneFolderAllSucceed)
{
    TemporaryFolder folder;
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0)
        _exit(FailedWrites(folder / "other.sav") == 0 ? 0 : 1);
    int failedHere = 0;
    std::thread second([&] { failedHere += FailedWrites(folder / "second.sav"); });
    const int failedFirst = FailedWrites(folder / "first.sav");
    second.join();
    int status = 0;
    waitpid(other, &status, 0);
    EXPECT_EQ(failedFirst, 0);
    EXPECT_EQ(failedHere, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writes of the other process failed";
    EXPECT_EQ(ListFolder(folder.Path()).size(), 3u);
}

namespace {
constexpr int kNoNamespace = 2;

// Runs the writes in a new PID namespace, "depth" processes down from its
// first (so as process number "depth" there), and writes the number that
// failed to "report"; ends with kNoNamespace when no namespace can be made
// (a plain user needs a user namespace of its own for it).
[[noreturn]] void WriteInNamespaceOfItsOwn(const std::string& path, int depth, int report)
{
    if (unshare(CLONE_NEWPID) != 0 && unshare(CLONE_NEWPID | CLONE_NEWUSER) != 0)
        _exit(kNoNamespace);
    for (int level = 0; level < depth; ++level) {
        const pid_t child = fork();
        if (child < 0)
            _exit(kNoNamespace);
        if (child > 0) {
            int status = 0;
            waitpid(child, &status, 0);
            _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
        }
    }
    const int failed = FailedWrites(path);
    _exit(write(report, &failed, sizeof(failed)) == sizeof(failed) ? 0 : 1);
}
} // namespace

// Sandboxed copies of the game run in PID namespaces of their own, where
// process numbers mean nothing to each other: one's running write must
// never look cut to another.
TEST(FilesTest, WritersInPidNamespacesOfTheirOwnLoseNoWrite)
{
    TemporaryFolder folder;
    int reports[2];
    ASSERT_EQ(pipe(reports), 0);
    pid_t writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i] = fork();
        ASSERT_GE(writers[i], 0);
        if (writers[i] == 0)
            WriteInNamespaceOfItsOwn(folder / ("writer" + std::to_string(i) + ".sav"), i + 1, reports[1]);
    }
    close(reports[1]);
    bool namespaces = true;
    for (const pid_t writer : writers) {
        int status = 0;
        waitpid(writer, &status, 0);
        namespaces = namespaces && !(WIFEXITED(status) && WEXITSTATUS(status) == kNoNamespace);
    }
    if (!namespaces)
        GTEST_SKIP() << "no PID namespace can be made here, not even in a user namespace";
    int failed[2] = {-1, -1};
    EXPECT_EQ(read(reports[0], failed, sizeof(failed)), static_cast<ssize_t>(sizeof(failed)));
    close(reports[0]);
    EXPECT_EQ(failed[0], 0) << "writes failed of " << kWrites << " by one writer";
    EXPECT_EQ(failed[1], 0) << "writes failed of " << kWrites << " by the other";
    EXPECT_EQ(ListFolder(folder.Path()).size(), 2u);
}

TEST(FilesTest, FailedWriteLeavesTheOldFileAndReportsIt)
{
    TemporaryFolder folder;
    EXPECT_FALSE(WriteWhole(folder / "no/folder/save.dat", "x", 1));
    // A folder in the way of the target cannot be replaced by a file.
    fs::create_directory(folder / "taken");
    folder.WriteText("taken/inside", "keep");
    EXPECT_FALSE(WriteWhole(folder / "taken", "x", 1));
    EXPECT_EQ(folder.ReadText("taken/inside"), "keep");
    EXPECT_EQ(ListFolder(folder.Path()).size(), 1u);
}

TEST(FilesTest, MakeFolderIsHarmlessWhenItExists)
{
    TemporaryFolder folder;
    EXPECT_TRUE(MakeFolder(folder / "made"));
    EXPECT_TRUE(MakeFolder(folder / "MADE"));
    EXPECT_EQ(ListFolder(folder.Path()).size(), 1u);
    folder.WriteText("file", "");
    EXPECT_FALSE(MakeFolder(folder / "file"));
}

namespace {
// Sets the process's file mode mask for one test and puts the old one back.
class ScopedUmask
{
  public:
    explicit ScopedUmask(mode_t mask) : previous(umask(mask)) {}
    ~ScopedUmask() { umask(previous); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

  private:
    mode_t previous;
};

void ExpectModes(const TemporaryFolder& folder, std::initializer_list<std::pair<const char*, unsigned>> modes)
{
    for (const auto& [name, mode] : modes) {
        struct stat info;
        ASSERT_EQ(lstat((folder / name).c_str(), &info), 0) << name;
        EXPECT_EQ(info.st_mode & 0777, mode) << name;
    }
}
} // namespace

// Folders made for the player's data are closed to other users, whatever
// the mask of the process that makes them; one that was there keeps its
// rights.
TEST(FilesTest, FoldersMadeArePrivate)
{
    TemporaryFolder folder;
    fs::create_directory(folder / "open");
    fs::permissions(folder / "open", fs::perms(0755));
    {
        const ScopedUmask permissive(0);
        ASSERT_TRUE(MakeFolder(folder / "open/one"));
        ASSERT_EQ(MakeWritableFolder(folder / "open/data/home/game"), "");
        ASSERT_TRUE(WriteWhole(folder / "open/data/home/game/config.cfg", "x", 1));
    }
    ExpectModes(folder, {{"open", 0755},
                         {"open/one", 0700},
                         {"open/data", 0700},
                         {"open/data/home", 0700},
                         {"open/data/home/game", 0700},
                         {"open/data/home/game/config.cfg", 0600}});
}

// A data folder of an earlier version, open to all, is closed with all of
// the player's in it; what a link there names is not touched.
TEST(FilesTest, MakePrivateClosesAnEarlierDataFolder)
{
    TemporaryFolder folder;
    fs::create_directories(folder / "data/Profiles/Tester");
    folder.WriteText("data/config.cfg", "x");
    folder.WriteText("data/Profiles/Tester/speed.sav", "x");
    folder.WriteText("elsewhere", "x");
    fs::create_symlink(folder / "elsewhere", folder / "data/link");
    for (const char* name : {"data", "data/Profiles", "data/Profiles/Tester"})
        fs::permissions(folder / name, fs::perms(0755));
    for (const char* name : {"data/config.cfg", "data/Profiles/Tester/speed.sav", "elsewhere"})
        fs::permissions(folder / name, fs::perms(0644));
    MakePrivate(folder / "data");
    ExpectModes(folder, {{"data", 0700},
                         {"data/Profiles", 0700},
                         {"data/Profiles/Tester", 0700},
                         {"data/config.cfg", 0600},
                         {"data/Profiles/Tester/speed.sav", 0600},
                         {"elsewhere", 0644}});
}

namespace {
// Makes something at the name in the folder; empty when it did, otherwise
// why it cannot be made here.
using Maker = std::function<std::string(const TemporaryFolder& folder, const std::string& name)>;

// One thing put in a data folder, with the mode it is given and the one it
// must have after MakePrivate.
struct Planted
{
    const char* name;
    const char* what;
    Maker make;
    unsigned before;
    unsigned after;
    // Given to another user (nobody) once all is made: only root can.
    bool theirs = false;
};

constexpr uid_t kNobody = 65534;

std::string Unless(bool made, const std::string& step)
{
    return made ? std::string() : step + ": " + std::strerror(errno);
}

std::string PlainFile(const TemporaryFolder& folder, const std::string& name)
{
    folder.WriteText(name, "x");
    return "";
}

std::string Folder(const TemporaryFolder& folder, const std::string& name)
{
    return Unless(mkdir((folder / name).c_str(), 0700) == 0, "mkdir");
}

std::string Pipe(const TemporaryFolder& folder, const std::string& name)
{
    return Unless(mkfifo((folder / name).c_str(), 0600) == 0, "mkfifo");
}

std::string Socket(const TemporaryFolder& folder, const std::string& name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = folder / name;
    if (path.size() >= sizeof(address.sun_path))
        return "the path is too long for a socket";
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool bound = fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    const std::string why = Unless(bound, "socket");
    if (fd >= 0)
        close(fd);
    return why;
}

// A device of its own, numbered as /dev/zero.
std::string Device(const TemporaryFolder& folder, const std::string& name)
{
    return Unless(mknod((folder / name).c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0,
                  "mknod (root's or CAP_MKNOD's only)");
}

// What "make" makes outside the data folder, named by a link put in place
// of the player's file at "link" in it.
Maker LinkedFrom(const std::string& link, Maker make)
{
    return [link, make](const TemporaryFolder& folder, const std::string& name) {
        const std::string why = make(folder, name);
        folder.WriteText(link, "x");
        const std::string planted = folder / (link + ".planted");
        return !why.empty() ? why
                            : Unless(symlink((folder / name).c_str(), planted.c_str()) == 0 &&
                                         rename(planted.c_str(), (folder / link).c_str()) == 0,
                                     "symlink");
    };
}

// A file system of its own (a tmpfs) mounted on a new folder.
std::string FileSystem(const TemporaryFolder& folder, const std::string& name)
{
    const std::string why = Folder(folder, name);
    return !why.empty() ? why
                        : Unless(mount("qs-test", (folder / name).c_str(), "tmpfs", 0, "mode=0755") == 0,
                                 "mount tmpfs");
}

// What "make" makes at "source", outside the data folder, bound over the
// same kind of the player's at the name: the same file system, another
// mount.
Maker BoundFrom(const std::string& source, Maker make)
{
    return [source, make](const TemporaryFolder& folder, const std::string& name) {
        std::string why = make(folder, source);
        if (why.empty())
            why = make(folder, name);
        return !why.empty() ? why
                            : Unless(mount((folder / source).c_str(), (folder / name).c_str(), nullptr,
                                           MS_BIND, nullptr) == 0,
                                     "mount --bind");
    };
}

// A mode as it is written: "0644".
std::string Octal(unsigned mode)
{
    std::ostringstream text;
    text << '0' << std::oct << mode;
    return text.str();
}

// The mode of what is at the name, not through a link; "missing" when
// nothing is.
std::string ModeOf(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 ? Octal(info.st_mode & 07777) : "missing";
}

// What became of a row: its mode after MakePrivate, or why it was not made.
struct Found
{
    std::string mode;
    std::string skipped;
};

// Makes the rows in order (the first the data folder itself), gives each
// its mode, and then another user's theirs (so that root without the right
// to change or write in another user's files makes them too), and runs
// MakePrivate on the data folder. A row inside one that could not be made
// is not made either. Another user's are given back when their modes have
// been read, so that the folder can be removed.
std::vector<Found> PlantAndMakePrivate(const TemporaryFolder& folder, const std::vector<Planted>& rows)
{
    std::vector<Found> found(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        for (size_t outer = 0; outer < i && found[i].skipped.empty(); ++outer) {
            if (!found[outer].skipped.empty() &&
                std::string(rows[i].name).rfind(rows[outer].name + std::string("/"), 0) == 0)
                found[i].skipped = std::string("inside ") + rows[outer].what + ", not made";
        }
        if (found[i].skipped.empty() && rows[i].theirs && geteuid() != 0)
            found[i].skipped = "only root can give a file to another user";
        if (found[i].skipped.empty())
            found[i].skipped = rows[i].make(folder, rows[i].name);
        if (found[i].skipped.empty())
            found[i].skipped = Unless(chmod((folder / rows[i].name).c_str(), rows[i].before) == 0, "chmod");
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (found[i].skipped.empty() && rows[i].theirs)
            found[i].skipped =
                Unless(lchown((folder / rows[i].name).c_str(), kNobody, kNobody) == 0, "chown");
    }
    MakePrivate(folder / rows[0].name);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (found[i].skipped.empty())
            found[i].mode = ModeOf(folder / rows[i].name);
        if (found[i].skipped.empty() && rows[i].theirs)
            lchown((folder / rows[i].name).c_str(), geteuid(), getegid());
    }
    return found;
}

void ExpectFound(const std::vector<Planted>& rows, const std::vector<Found>& found)
{
    ASSERT_EQ(found.size(), rows.size()) << "rows reported";
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!found[i].skipped.empty())
            std::cout << "[ SKIPPED  ] row " << rows[i].name << " (" << rows[i].what
                      << "): " << found[i].skipped << "\n";
        else
            EXPECT_EQ(found[i].mode, Octal(rows[i].after)) << rows[i].name << ": " << rows[i].what;
    }
}
} // namespace

// Only the player's own plain files and folders are closed: a pipe, a
// socket, a device, another user's file or folder keep their rights (and
// what is in such a folder too), and what a link names, even one put where
// the player's file was, is not touched.
TEST(FilesTest, MakePrivateChangesOnlyThePlayersOwnFiles)
{
    TemporaryFolder folder;
    const std::vector<Planted> rows = {
        {"data", "the data folder", Folder, 0755, 0700},
        {"data/config.cfg", "the player's file", PlainFile, 0644, 0600},
        {"data/Profiles", "the player's folder", Folder, 0755, 0700},
        {"data/Profiles/speed.sav", "the player's file in it", PlainFile, 0604, 0600},
        {"data/pipe", "a pipe", Pipe, 0644, 0644},
        {"data/socket", "a socket", Socket, 0755, 0755},
        {"data/zero", "a device", Device, 0666, 0666},
        {"data/theirs", "another user's file", PlainFile, 0644, 0644, true},
        {"data/Theirs", "another user's folder", Folder, 0755, 0755, true},
        {"data/Theirs/own", "the player's file in it", PlainFile, 0644, 0644},
        {"elsewhere", "a file a link names", LinkedFrom("data/last.sav", PlainFile), 0644, 0644},
        {"outside", "a folder a link names", LinkedFrom("data/Outside", Folder), 0755, 0755},
        {"outside/own", "the player's file in it", PlainFile, 0644, 0644},
    };
    ExpectFound(rows, PlantAndMakePrivate(folder, rows));
    EXPECT_TRUE(fs::is_symlink(folder / "data/last.sav"));
}

namespace {
constexpr int kNoMountNamespace = 3;

bool WriteTo(const char* path, const std::string& text)
{
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (fd >= 0)
        close(fd);
    return written;
}

// A mount namespace of its own, whose mounts go nowhere else: root's, or
// one in a user namespace of its own where this user stays who it is (so
// its files stay its own). False when neither can be made: a sandbox may
// forbid both.
bool EnterMountNamespace()
{
    const std::string uid = std::to_string(geteuid());
    const std::string gid = std::to_string(getegid());
    if (unshare(CLONE_NEWNS) != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        WriteTo("/proc/self/setgroups", "deny");
        if (!WriteTo("/proc/self/uid_map", uid + " " + uid + " 1") ||
            !WriteTo("/proc/self/gid_map", gid + " " + gid + " 1"))
            return false;
    }
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// The rows planted and MakePrivate run in a child of a mount namespace of
// its own, their mounts gone with it; false when no such namespace can be
// made here.
bool PlantAndMakePrivateMounted(const TemporaryFolder& folder, const std::vector<Planted>& rows,
                                std::vector<Found>& found)
{
    int report[2];
    if (pipe(report) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        if (!EnterMountNamespace())
            _exit(kNoMountNamespace);
        std::ostringstream text;
        for (const Found& row : PlantAndMakePrivate(folder, rows))
            text << (row.mode.empty() ? "-" : row.mode) << ' ' << row.skipped << '\n';
        _exit(WriteAll(report[1], text.str().data(), text.str().size()) ? 0 : 1);
    }
    close(report[1]);
    std::string text;
    char chunk[4096];
    for (ssize_t got; (got = read(report[0], chunk, sizeof(chunk))) > 0;)
        text.append(chunk, static_cast<size_t>(got));
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoMountNamespace)
        return false;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        Found row;
        std::istringstream fields(line);
        fields >> row.mode;
        if (row.mode == "-")
            row.mode.clear();
        std::getline(fields >> std::ws, row.skipped);
        found.push_back(row);
    }
    return true;
}
} // namespace

// What is mounted in the data folder is not the game's: a file or a folder
// bound there from elsewhere on the same file system, nor another file
// system mounted on a folder of it (nor anything inside those).
TEST(FilesTest, MakePrivateLeavesWhatIsMountedInTheDataFolder)
{
    TemporaryFolder folder;
    const std::vector<Planted> rows = {
        {"data", "the data folder", Folder, 0755, 0700},
        {"data/config.cfg", "the player's file", PlainFile, 0644, 0600},
        {"data/bound.sav", "a file bound over the player's", BoundFrom("outside.sav", PlainFile), 0644, 0644},
        {"data/Bound", "a folder bound over the player's", BoundFrom("outside", Folder), 0755, 0755},
        {"data/Bound/own", "the player's file in it", PlainFile, 0644, 0644},
        {"data/mounted", "another file system", FileSystem, 0755, 0755},
        {"data/mounted/own", "the player's file on it", PlainFile, 0644, 0644},
    };
    std::vector<Found> found;
    if (!PlantAndMakePrivateMounted(folder, rows, found))
        GTEST_SKIP() << "no mount namespace can be made here, not even in a user namespace";
    ExpectFound(rows, found);
    // What was bound keeps its rights outside too, the mounts gone.
    EXPECT_EQ(ModeOf(folder / "outside.sav"), "0644");
    EXPECT_EQ(ModeOf(folder / "outside"), "0755");
    EXPECT_EQ(ModeOf(folder / "outside/own"), "0644");
}

// A file read only when it is a plain file of this user's, not reached
// through a link: what another user may put at the name is never read.
TEST(FilesTest, ReadOwnFileReadsOnlyThePlayersOwnPlainFile)
{
    TemporaryFolder folder;
    folder.WriteText("own", "mine");
    folder.WriteText("theirs", "another user's");
    fs::create_symlink(folder / "own", folder / "link");
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    fs::create_directory(folder / "folder");
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown((folder / "theirs").c_str(), 65534, 65534), 0);
    }
    const std::pair<const char*, bool> cases[] = {
        {"own", true}, {"link", false}, {"pipe", false}, {"folder", false}, {"missing", false}, {"theirs", !root},
    };
    for (const auto& [name, read] : cases) {
        std::vector<uint8_t> bytes{1};
        EXPECT_EQ(ReadOwnFile(folder / name, bytes), read) << name;
        EXPECT_EQ(bytes.empty(), !read || folder.ReadText(name).empty()) << name;
    }
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadOwnFile(folder / "own", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "mine");
}

// The one reader tells nothing at the name from something there it cannot
// read, and never waits on what is there: ReadWhole, Examine, Exists and
// OpenForReading go through it. A folder that cannot be searched is named
// as what refused the file in it.
TEST(FilesTest, ReadFileTellsMissingFromUnreadableWithoutWaiting)
{
    TemporaryFolder folder;
    folder.WriteText("plain", "bytes");
    folder.WriteText("closed", "kept");
    ASSERT_EQ(chmod((folder / "closed").c_str(), 0), 0);
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    fs::create_directory(folder / "folder");
    fs::create_directories(folder / "shut/inner");
    folder.WriteText("shut/inner/file", "kept");
    ASSERT_EQ(chmod((folder / "shut").c_str(), 0600), 0);
    const std::string shut = folder / "shut";
    const struct
    {
        const char* name;
        Failure failure;
        Presence presence;
        std::string blocked;
    } cases[] = {
        {"plain", Failure::None, Presence::Readable, ""},
        {"missing", Failure::Missing, Presence::Missing, ""},
        {"plain/below", Failure::Missing, Presence::Missing, ""}, // a file where a folder should be
        {"closed", Failure::NoPermission, Presence::Unreadable, ""},
        {"pipe", Failure::NotAFile, Presence::Unreadable, ""},
        {"folder", Failure::NotAFile, Presence::Unreadable, ""},
        {"shut/inner/file", Failure::NoPermission, Presence::Unreadable, shut},
        {"shut/inner/missing", Failure::NoPermission, Presence::Unreadable, shut},
        {"shut/inner", Failure::NoPermission, Presence::Unreadable, shut},
    };
    // Root would read them all: they are read as the modes say.
    const bool obeyed = RunObeyingFileModes([&] {
        for (const auto& [name, failure, presence, blocked] : cases) {
            std::vector<uint8_t> bytes{1};
            const Outcome read = ReadFile(folder / name, bytes);
            EXPECT_EQ(read.failure, failure) << name;
            EXPECT_EQ(read.folder, blocked) << name;
            Outcome why;
            EXPECT_EQ(Exists(folder / name, &why), presence) << name;
            EXPECT_EQ(why.folder, blocked) << name;
            EXPECT_EQ(read.reason.empty(), failure == Failure::None) << name;
            EXPECT_EQ(bytes.empty(), failure != Failure::None) << name;
            EXPECT_EQ(Examine(folder / name).failure, failure) << name;
            std::FILE* file = OpenForReading(folder / name);
            EXPECT_EQ(file != nullptr, failure == Failure::None) << name;
            if (file != nullptr)
                std::fclose(file);
        }
    });
    chmod((folder / "shut").c_str(), 0700);
    if (!obeyed)
        GTEST_SKIP() << "the test's process cannot give up passing over the files' modes";
}

// A fault's report cut short (here by the file size limit) leaves its
// temporary file under the game's own name, and the next write into that
// folder clears it.
TEST(FilesTest, AReportCutShortIsClearedByTheNextWrite)
{
    TemporaryFolder folder;
    const std::string report = folder / "CrashReport.txt";
    const std::string text(4096, 'r');
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        const rlimit small{1, 1};
        setrlimit(RLIMIT_FSIZE, &small);
        WriteWholeAtFault(report.c_str(), text.data(), text.size());
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the write was not cut";
    ASSERT_EQ(ListFolder(folder.Path()).size(), 1u) << "the cut write left nothing";
    EXPECT_FALSE(fs::exists(report));
    ASSERT_TRUE(WriteWhole(folder / "config.cfg", "x", 1));
    const std::vector<FolderEntry> left = ListFolder(folder.Path());
    ASSERT_EQ(left.size(), 1u) << left.back().name;
    EXPECT_EQ(left[0].name, "config.cfg");
    ASSERT_TRUE(WriteWholeAtFault(report.c_str(), text.data(), text.size()));
    EXPECT_EQ(fs::file_size(report), text.size());
}

// A write at a fault clears nothing first: a link, hard or symbolic,
// standing at the name its temporary file takes first is passed over for
// another name, and what it names is never written.
TEST(FilesTest, AWriteAtAFaultPassesOverALinkAtItsTemporaryName)
{
    const StillClock still;
    for (const bool hard : {false, true}) {
        TemporaryFolder folder;
        folder.WriteText("precious", "keep");
        const std::string first = FirstTemporaryOf("CrashReport.txt");
        ASSERT_NE(first, "");
        if (hard)
            fs::create_hard_link(folder / "precious", folder / first);
        else
            fs::create_symlink(folder / "precious", folder / first);
        const std::string report = folder / "CrashReport.txt";
        EXPECT_TRUE(WriteWholeAtFault(report.c_str(), "new", 3)) << "hard link: " << hard;
        EXPECT_EQ(folder.ReadText("precious"), "keep") << "hard link: " << hard;
        EXPECT_EQ(folder.ReadText("CrashReport.txt"), "new") << "hard link: " << hard;
    }
}

TEST(FilesTest, DeleteFolderTreeNeverFollowsLinks)
{
    TemporaryFolder folder;
    fs::create_directories(folder / "outside");
    folder.WriteText("outside/precious", "keep");
    fs::create_directories(folder / "victim/sub");
    folder.WriteText("victim/sub/file", "x");
    fs::create_directory_symlink(folder / "outside", folder / "victim/link");
    fs::create_symlink(folder / "outside/precious", folder / "victim/sub/filelink");

    EXPECT_TRUE(DeleteFolderTree(folder / "victim"));
    EXPECT_FALSE(fs::exists(folder / "victim"));
    EXPECT_EQ(folder.ReadText("outside/precious"), "keep");
}

TEST(FilesTest, DeleteFolderTreeRefusesDotsAndLinkedFolders)
{
    TemporaryFolder folder;
    fs::create_directories(folder / "a/b");
    folder.WriteText("a/b/file", "x");
    EXPECT_FALSE(DeleteFolderTree(folder / "a/b/.."));
    EXPECT_FALSE(DeleteFolderTree(folder / "a/."));
    EXPECT_FALSE(DeleteFolderTree(folder / "a\\b\\.."));
    EXPECT_FALSE(DeleteFolderTree(""));
    EXPECT_FALSE(DeleteFolderTree("/"));
    EXPECT_TRUE(fs::exists(folder / "a/b/file"));

    // A link named as the folder itself is not followed either.
    fs::create_directory_symlink(folder / "a", folder / "link");
    EXPECT_FALSE(DeleteFolderTree(folder / "link"));
    EXPECT_FALSE(DeleteFolderTree(folder / "link/"));
    EXPECT_TRUE(fs::exists(folder / "a/b/file"));

    EXPECT_TRUE(DeleteFolderTree(folder.Path() + "\\A"));
    EXPECT_FALSE(fs::exists(folder / "a"));
}

TEST(FilesTest, DeleteFileAndOpenForReading)
{
    TemporaryFolder folder;
    folder.WriteText("Note.TXT", "hi");
    std::FILE* file = OpenForReading(folder / "note.txt");
    ASSERT_NE(file, nullptr);
    char text[3] = {};
    EXPECT_EQ(std::fread(text, 1, 2, file), 2u);
    std::fclose(file);
    EXPECT_STREQ(text, "hi");
    EXPECT_TRUE(DeleteFile(folder / "NOTE.txt"));
    EXPECT_EQ(Exists(folder / "Note.TXT"), Presence::Missing);
    EXPECT_EQ(OpenForReading(folder / "note.txt"), nullptr);
}
