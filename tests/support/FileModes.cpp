#include "support/FileModes.h"

#include "support/ChildExit.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr int kCannotObey = 3;
constexpr int kPassingOver[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH};

struct Capabilities
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
};

bool Read(Capabilities& held)
{
    return syscall(SYS_capget, &held.header, held.data) == 0;
}

bool PassesOverFileModes()
{
    Capabilities held;
    if (!Read(held))
        return true; // unknown: given up to be sure
    for (const int capability : kPassingOver) {
        if (held.data[CAP_TO_INDEX(capability)].effective & CAP_TO_MASK(capability))
            return true;
    }
    return false;
}
} // namespace

bool ObeyFileModes()
{
    Capabilities held;
    if (!Read(held))
        return false;
    for (const int capability : kPassingOver) {
        held.data[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
        held.data[CAP_TO_INDEX(capability)].permitted &= ~CAP_TO_MASK(capability);
    }
    return syscall(SYS_capset, &held.header, held.data) == 0;
}

bool RunObeyingFileModes(const std::function<void()>& statement)
{
    if (!PassesOverFileModes()) {
        statement();
        return true;
    }
    const ChildExit ran = RunInChild([&statement] {
        if (!ObeyFileModes())
            _exit(kCannotObey);
        statement();
    });
    if (ran.code == kCannotObey)
        return false;
    // Its own failures are told already.
    if (ran.code != 0 && ran.code != kChildFailed && ran.code != kChildThrew)
        ADD_FAILURE() << "the child ended with " << ran.code << " (-1: by a signal); it said: " << ran.errorText;
    return true;
}
