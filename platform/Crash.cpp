#include "platform/Crash.h"

#include "platform/Files.h"

#include <SDL2/SDL.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <sstream>

namespace Platform::Crash {
namespace {
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);
// A report stuck on a folder that does not answer must not keep a dead
// program on screen for ever.
constexpr unsigned kReportSeconds = 20;

// Everything the handler touches is static: the alternate stack is small and
// the heap may be what failed.
struct sigaction previous[kSignalCount];
bool installed = false;
Handler current = nullptr;
char programPath[4096];
Fault caught;
alignas(16) char alternateStack[256 * 1024];
std::atomic_flag reporting = ATOMIC_FLAG_INIT;

// The loaded modules as noted before the fault: looking them up at the
// fault would take the loader's lock, which the failing thread or another
// one may hold. Two tables take turns, so a fault during a new noting
// still finds the last whole one.
constexpr int kMaxModules = 512;
constexpr int kMaxSegments = 16;
constexpr size_t kNameRoom = 128 * 1024;

struct Module
{
    const char* path;
    int segmentCount;
    uintptr_t start[kMaxSegments];
    uintptr_t end[kMaxSegments];
};

struct ModuleTable
{
    int count;
    size_t nameUsed;
    Module modules[kMaxModules];
    char names[kNameRoom];
};

ModuleTable tables[2];
std::atomic<int> currentTable{0};
std::mutex noting;

const char* KeepName(ModuleTable& table, const char* name)
{
    size_t length = std::strlen(name) + 1;
    if (table.nameUsed + length > kNameRoom)
        return "";
    char* kept = table.names + table.nameUsed;
    std::memcpy(kept, name, length);
    table.nameUsed += length;
    return kept;
}

// The main program's entry has no name of its own. A segment's end is
// counted in, as the report's section lookup counts it.
int NoteModule(dl_phdr_info* info, size_t, void* data)
{
    auto& table = *static_cast<ModuleTable*>(data);
    if (table.count == kMaxModules)
        return 1;
    Module& module = table.modules[table.count];
    module.segmentCount = 0;
    for (int i = 0; i < info->dlpi_phnum && module.segmentCount < kMaxSegments; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD)
            continue;
        module.start[module.segmentCount] = info->dlpi_addr + segment.p_vaddr;
        module.end[module.segmentCount] =
            module.start[module.segmentCount] + std::max(segment.p_memsz, segment.p_filesz);
        ++module.segmentCount;
    }
    const char* name = info->dlpi_name;
    module.path = KeepName(table, (name == nullptr || name[0] == '\0') ? programPath : name);
    ++table.count;
    return 0;
}

void NoteModules()
{
    std::lock_guard<std::mutex> lock(noting);
    int next = 1 - currentTable.load();
    tables[next].count = 0;
    tables[next].nameUsed = 0;
    dl_iterate_phdr(NoteModule, &tables[next]);
    currentTable.store(next);
}

bool PlaceIn(const ModuleTable& table, uintptr_t address, Frame& frame)
{
    for (int m = 0; m < table.count; ++m) {
        const Module& module = table.modules[m];
        for (int i = 0; i < module.segmentCount; ++i) {
            if (address >= module.start[i] && address <= module.end[i]) {
                frame.module = module.path;
                frame.section = static_cast<unsigned>(i + 1);
                frame.offset = address - module.start[i];
                return true;
            }
        }
    }
    return false;
}

// One line of the kernel's list of this process's mappings.
struct Mapping
{
    uintptr_t start;
    uintptr_t end;
    uintptr_t offset;
    bool readable;
    const char* path; // empty for memory no file backs
};

uintptr_t ReadHex(const char*& at)
{
    uintptr_t value = 0;
    for (;; ++at) {
        const char c = *at;
        const int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (digit < 0)
            return value;
        value = value * 16 + static_cast<uintptr_t>(digit);
    }
}

const char* NextField(const char* at)
{
    while (*at != ' ' && *at != '\0')
        ++at;
    while (*at == ' ')
        ++at;
    return at;
}

// "start-end perms offset device inode path"
Mapping ParseMapping(const char* line)
{
    Mapping mapping{};
    const char* at = line;
    mapping.start = ReadHex(at);
    ++at;
    mapping.end = ReadHex(at);
    at = NextField(at);
    mapping.readable = *at == 'r';
    at = NextField(at);
    mapping.offset = ReadHex(at);
    mapping.path = NextField(NextField(NextField(at)));
    return mapping;
}

// Each mapping in address order, until visit returns false; read with
// plain system calls into storage of its own, as at the fault.
char mapsText[64 * 1024];

template <typename Visit>
void ForEachMapping(Visit visit)
{
    int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    size_t held = 0;
    for (bool going = true; going && held < sizeof(mapsText);) {
        ssize_t got = read(fd, mapsText + held, sizeof(mapsText) - held);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        char* end = mapsText + held + got;
        char* line = mapsText;
        for (char* newline; going && (newline = static_cast<char*>(std::memchr(line, '\n', static_cast<size_t>(end - line))));
             line = newline + 1) {
            *newline = '\0';
            going = visit(ParseMapping(line));
        }
        held = static_cast<size_t>(end - line);
        std::memmove(mapsText, line, held);
    }
    close(fd);
}

// Modules loaded since the last noting (libraries opened later, as a
// graphics driver's are) are looked up at the fault in the kernel's list
// of mappings, which takes neither the heap nor the loader's lock. The
// lowest mapping of the module's file holds its ELF header; the program
// headers there give its segments as the loader's list gives the others'.
ModuleTable lateModules;
char latePath[4096];

void NoteLateModule(uintptr_t address)
{
    latePath[0] = '\0';
    ForEachMapping([address](const Mapping& mapping) {
        if (address < mapping.start || address >= mapping.end)
            return true;
        const size_t length = std::strlen(mapping.path) + 1;
        if (mapping.path[0] == '/' && length <= sizeof(latePath))
            std::memcpy(latePath, mapping.path, length);
        return false;
    });
    if (latePath[0] == '\0')
        return;
    Mapping lowest{};
    ForEachMapping([&lowest](const Mapping& mapping) {
        if (std::strcmp(mapping.path, latePath) != 0)
            return true;
        lowest = mapping;
        return false;
    });
    const auto* header = reinterpret_cast<const ElfW(Ehdr)*>(lowest.start);
    if (!lowest.readable || lowest.offset != 0 || lowest.end - lowest.start < sizeof(ElfW(Ehdr)) ||
        std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 ||
        header->e_phoff + header->e_phnum * sizeof(ElfW(Phdr)) > lowest.end - lowest.start)
        return;
    dl_phdr_info info{};
    info.dlpi_name = latePath;
    info.dlpi_phdr = reinterpret_cast<const ElfW(Phdr)*>(lowest.start + header->e_phoff);
    info.dlpi_phnum = header->e_phnum;
    // The first loadable segment is the one mapped from the file's start.
    for (int i = 0; i < info.dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info.dlpi_phdr[i];
        if (segment.p_type == PT_LOAD) {
            info.dlpi_addr = lowest.start - (segment.p_vaddr - segment.p_offset);
            NoteModule(&info, sizeof(info), &lateModules);
            return;
        }
    }
}

// At the fault, an address in no module noted beforehand is looked up again.
void Place(uintptr_t address, Frame& frame, bool atFault)
{
    frame = Frame{};
    if (PlaceIn(tables[currentTable.load()], address, frame) || !atFault ||
        PlaceIn(lateModules, address, frame))
        return;
    NoteLateModule(address);
    PlaceIn(lateModules, address, frame);
}

void Collect(uintptr_t first, void* const* stack, int count, bool atFault, Fault& fault)
{
    fault.frameCount = 0;
    Place(first, fault.frames[fault.frameCount++], atFault);
    for (int i = 0; i < count && fault.frameCount < kMaxFrames; ++i)
        Place(reinterpret_cast<uintptr_t>(stack[i]), fault.frames[fault.frameCount++], atFault);
}

uintptr_t FaultingInstruction(void* context)
{
#if defined(__x86_64__)
    return static_cast<uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.pc);
#else
    (void)context;
    return 0;
#endif
}

// The unwinder steps through the signal frame, so the faulting instruction
// appears in the trace after the handler's own frames; what follows it are
// the return addresses.
int FirstCallerIndex(uintptr_t faulting, void* const* stack, int count)
{
    for (int i = 0; i < count; ++i) {
        if (reinterpret_cast<uintptr_t>(stack[i]) == faulting)
            return i + 1;
    }
    return std::min(2, count);
}

void AppendWrapped(std::string line, size_t columns, std::vector<std::string>& lines)
{
    while (line.size() > columns) {
        size_t space = line.rfind(' ', columns);
        size_t cut = (space == std::string::npos || space == 0) ? columns : space;
        lines.push_back(line.substr(0, cut));
        line.erase(0, cut == space ? cut + 1 : cut);
    }
    lines.push_back(line);
}

void RestorePrevious()
{
    if (!installed)
        return;
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
    installed = false;
}

void OnSignal(int signal, siginfo_t*, void* context)
{
    // A second thread failing meanwhile waits for the first one's report to
    // end the process.
    if (reporting.test_and_set()) {
        for (;;)
            pause();
    }
    RestorePrevious();
    alarm(kReportSeconds);
    void* stack[kMaxFrames];
    int count = backtrace(stack, kMaxFrames);
    uintptr_t faulting = FaultingInstruction(context);
    int first = FirstCallerIndex(faulting, stack, count);
    lateModules.count = 0;
    lateModules.nameUsed = 0;
    Collect(faulting, stack + first, count - first, true, caught);
    caught.signal = signal;
    if (current != nullptr)
        current(caught);
    alarm(0);
    raise(signal);
}

// Where a report may go when its own folder cannot take it; the
// environment is read before the fault, as nothing says another thread is
// not changing it at the fault.
constexpr int kSpareCount = 3;
char spareFolders[kSpareCount][4096];

void KeepFolder(int index, const char* folder)
{
    spareFolders[index][0] = '\0';
    if (folder != nullptr && folder[0] == '/' && std::strlen(folder) < sizeof(spareFolders[index]))
        std::strcpy(spareFolders[index], folder);
}

void Prepare()
{
    static bool warmed = false;
    if (!warmed) {
        warmed = true;
        ssize_t length = readlink("/proc/self/exe", programPath, sizeof(programPath) - 1);
        programPath[length > 0 ? length : 0] = '\0';
        // The first trace loads the unwinder; that must not happen in a handler.
        void* warm[2];
        backtrace(warm, 2);
    }
    NoteModules();
    KeepFolder(0, std::getenv("XDG_RUNTIME_DIR"));
    KeepFolder(1, std::getenv("TMPDIR"));
    KeepFolder(2, "/tmp");
}

// The temporary's name: the target's with the process number after it,
// built without the heap.
bool TemporaryName(const char* path, char (&name)[4200])
{
    size_t length = std::strlen(path);
    if (length + 32 > sizeof(name))
        return false;
    std::memcpy(name, path, length);
    char digits[24];
    int count = 0;
    for (auto pid = static_cast<unsigned long>(getpid()); pid != 0 || count == 0; pid /= 10)
        digits[count++] = static_cast<char>('0' + pid % 10);
    name[length++] = '.';
    while (count > 0)
        name[length++] = digits[--count];
    std::memcpy(name + length, ".part", 6);
    return true;
}
} // namespace

void Install(Handler handler)
{
    Prepare();
    current = handler;
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof(alternateStack);
    sigaltstack(&stack, nullptr);
    struct sigaction action
    {
    };
    action.sa_sigaction = OnSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i)
        sigaction(kSignals[i], &action, installed ? nullptr : &previous[i]);
    installed = true;
    reporting.clear();
}

void Uninstall()
{
    RestorePrevious();
    current = nullptr;
}

// Sanitizers wrap backtrace in frames of their own, so the trace is read from
// the caller's return address on rather than from a fixed depth.
__attribute__((noinline)) void CaptureHere(Fault& fault)
{
    Prepare();
    auto caller = reinterpret_cast<uintptr_t>(__builtin_return_address(0));
    void* stack[kMaxFrames + 4];
    int count = backtrace(stack, kMaxFrames + 4);
    int first = FirstCallerIndex(caller, stack, count);
    Collect(caller, stack + first, count - first, false, fault);
    fault.signal = 0;
}

bool WriteReport(const char* path, const char* text, size_t size)
{
    static char temporary[4200];
    if (!TemporaryName(path, temporary))
        return false;
    // A temporary of an earlier process with this number is ours to replace.
    unlink(temporary);
    int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = Files::WriteAll(fd, text, size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary, path) == 0;
    if (!ok)
        unlink(temporary);
    return ok;
}

const char* SpareFolder(int index)
{
    for (int i = 0, found = 0; i < kSpareCount; ++i) {
        if (spareFolders[i][0] != '\0' && found++ == index)
            return spareFolders[i];
    }
    return nullptr;
}

// Started without fork: fork takes every lock of the allocator first, and a
// thread stopped for good inside it (the fault may have come from there)
// would keep the reporter from ever starting. The child gets no blocked
// signals. A pending alarm is cancelled: the user may take their time over
// the report.
bool RunProgram(const char* const* arguments)
{
    if (arguments == nullptr || arguments[0] == nullptr)
        return false;
    alarm(0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t child = -1;
    const bool started = posix_spawn(&child, arguments[0], nullptr, &attributes,
                                     const_cast<char* const*>(arguments), environ) == 0;
    posix_spawnattr_destroy(&attributes);
    if (!started)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void WriteError(const char* const* texts)
{
    for (; *texts != nullptr; ++texts)
        Files::WriteAll(STDERR_FILENO, *texts, std::strlen(*texts));
}

std::string FitToScreen(const std::string& text, int screenWidth, int screenHeight)
{
    size_t columns = static_cast<size_t>(std::max(1, (screenWidth - kBoxSideRoom) / kBoxGlyphWidth));
    size_t rows = static_cast<size_t>(std::max(2, (screenHeight - kBoxTopAndBottomRoom) / kBoxLineHeight));
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        AppendWrapped(line, columns, lines);
    }
    if (lines.size() > rows) {
        lines.resize(rows - 1);
        lines.push_back("...");
    }
    std::string fitted;
    for (const std::string& line : lines)
        fitted += (fitted.empty() ? "" : "\n") + line;
    return fitted;
}

int Choose(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
           int defaultButton)
{
    // The first screen is where the box opens.
    std::string shown = text;
    bool video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    SDL_Rect screen;
    if (video && SDL_GetDisplayUsableBounds(0, &screen) == 0)
        shown = FitToScreen(text, screen.w, screen.h);
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = static_cast<int>(i) == defaultButton ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
        data.push_back({flags, static_cast<int>(i), buttons[i].c_str()});
    }
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_ERROR | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.title = title.c_str();
    box.message = shown.c_str();
    box.numbuttons = static_cast<int>(data.size());
    box.buttons = data.data();
    int pressed = -1;
    bool failed = SDL_ShowMessageBox(&box, &pressed) != 0;
    if (video)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (failed) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return defaultButton;
    }
    return pressed < 0 ? defaultButton : pressed;
}

bool HasTerminal()
{
    return isatty(STDIN_FILENO) != 0;
}

std::string ReadTerminalLine(const std::string& prompt, size_t maxLength)
{
    if (!HasTerminal())
        return std::string();
    std::fprintf(stderr, "%s", prompt.c_str());
    std::string line;
    std::getline(std::cin, line);
    return line.substr(0, maxLength);
}
} // namespace Platform::Crash
