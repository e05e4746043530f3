#include "platform/Crash.h"

#include "platform/Files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace Platform::Crash {
namespace {
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

bool ReplaceFile(const char* path, const char* text, size_t size)
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
} // namespace Platform::Crash
