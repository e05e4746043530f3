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
