#include "ProgramSegments.h"

#include <link.h>

uintptr_t MainProgramSegmentStart(unsigned number)
{
    struct Search
    {
        unsigned number;
        uintptr_t start = 0;
    } search{number};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* wanted = static_cast<Search*>(data);
            unsigned count = 0;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                if (info->dlpi_phdr[i].p_type == PT_LOAD && ++count == wanted->number)
                    wanted->start = info->dlpi_addr + info->dlpi_phdr[i].p_vaddr;
            }
            return 1; // the main program is always listed first
        },
        &search);
    return search.start;
}

HoldingSegment SegmentHolding(uintptr_t address)
{
    struct Search
    {
        uintptr_t address;
        HoldingSegment found;
    } search{address, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* wanted = static_cast<Search*>(data);
            unsigned count = 0;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = info->dlpi_phdr[i];
                if (segment.p_type != PT_LOAD)
                    continue;
                ++count;
                uintptr_t start = info->dlpi_addr + segment.p_vaddr;
                if (wanted->address >= start && wanted->address < start + segment.p_memsz) {
                    wanted->found = {count, start};
                    return 1;
                }
            }
            return 0;
        },
        &search);
    return search.found;
}
