#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

// Writes bytes to a file whole; an empty run makes an empty file.
inline void WriteWholeFile(const std::string& path, const void* data, size_t size)
{
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0) {
            std::fwrite(data, 1, size, file);
        }
        std::fclose(file);
    }
}

// Readers that only take a path get the fuzzer's bytes through one scratch
// file per process, rewritten for every input.
inline std::string WriteFuzzFile(const uint8_t* data, size_t size, const char* extension)
{
    std::string path = "/tmp/qs-fuzz-" + std::to_string(getpid()) + extension;
    WriteWholeFile(path, data, size);
    return path;
}

// A fixed opaque white picture in the image cache layout (width, height,
// pixels, no extra bytes): the loader reads it before any other kind.
inline void WriteCachedImage(const std::string& path, uint32_t width, uint32_t height)
{
    std::vector<uint8_t> bytes(8 + size_t(width) * height * 4 + 4, 0xFF);
    const uint32_t header[2] = {width, height};
    std::memcpy(bytes.data(), header, sizeof(header));
    std::memset(bytes.data() + bytes.size() - 4, 0, 4);
    WriteWholeFile(path, bytes.data(), bytes.size());
}
