#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

// Readers that only take a path get the fuzzer's bytes through one scratch
// file per process, rewritten for every input.
inline std::string WriteFuzzFile(const uint8_t* data, size_t size, const char* extension)
{
    std::string path = "/tmp/qs-fuzz-" + std::to_string(getpid()) + extension;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0) {
            std::fwrite(data, 1, size, file);
        }
        std::fclose(file);
    }
    return path;
}
