#include "platform/CrashModules.h"

#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace Platform::Crash {
namespace {
char programPath[4096];

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

// A line cut by the end of a read is carried to the front and completed
// by the next.
template <typename Visit> void ForEachMappingIn(int fd, Visit visit)
{
    size_t held = 0;
    for (bool going = true; going && held < sizeof(mapsText);) {
        ssize_t got = read(fd, mapsText + held, sizeof(mapsText) - held);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        char* end = mapsText + held + got;
        char* line = mapsText;
        for (char* newline;
             going &&
             (newline = static_cast<char*>(std::memchr(line, '\n', static_cast<size_t>(end - line))));
             line = newline + 1) {
            *newline = '\0';
            going = visit(ParseMapping(line));
        }
        held = static_cast<size_t>(end - line);
        std::memmove(mapsText, line, held);
    }
}

template <typename Visit> void ForEachMapping(Visit visit)
{
    const int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ForEachMappingIn(fd, visit);
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
    const int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    MappedFileIn(fd, address);
    close(fd);
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
} // namespace

void NoteModules()
{
    std::lock_guard<std::mutex> lock(noting);
    if (programPath[0] == '\0') {
        ssize_t length = readlink("/proc/self/exe", programPath, sizeof(programPath) - 1);
        programPath[length > 0 ? length : 0] = '\0';
    }
    int next = 1 - currentTable.load();
    tables[next].count = 0;
    tables[next].nameUsed = 0;
    dl_iterate_phdr(NoteModule, &tables[next]);
    currentTable.store(next);
}

const char* MappedFileIn(int mapsFd, uintptr_t address)
{
    latePath[0] = '\0';
    ForEachMappingIn(mapsFd, [address](const Mapping& mapping) {
        if (address < mapping.start || address >= mapping.end)
            return true;
        const size_t length = std::strlen(mapping.path) + 1;
        if (mapping.path[0] == '/' && length <= sizeof(latePath))
            std::memcpy(latePath, mapping.path, length);
        return false;
    });
    return latePath;
}

void ForgetLateModules()
{
    lateModules.count = 0;
    lateModules.nameUsed = 0;
}

void PlaceFrames(uintptr_t first, void* const* stack, int count, bool atFault, Fault& fault)
{
    fault.frameCount = 0;
    Place(first, fault.frames[fault.frameCount++], atFault);
    for (int i = 0; i < count && fault.frameCount < kMaxFrames; ++i)
        Place(reinterpret_cast<uintptr_t>(stack[i]), fault.frames[fault.frameCount++], atFault);
}
} // namespace Platform::Crash
