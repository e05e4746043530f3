#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

// Scratch files go to the temporary folder TMPDIR names (/tmp without it).
// What is made under the path goes when the process ends.
inline std::string ScratchPath(const std::string& name)
{
    static std::vector<std::string> made;
    if (made.empty())
        std::atexit([] {
            for (const std::string& path : made) {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        });
    const std::string folder = std::filesystem::temp_directory_path().string();
    made.push_back(folder + "/qs-fuzz-" + name + "-" + std::to_string(getpid()));
    return made.back();
}

// Readers that only take a path get the fuzzer's bytes through one scratch
// file per process, rewritten for every input.
inline std::string WriteFuzzFile(const uint8_t* data, size_t size, const char* extension)
{
    static const std::string folder = [] {
        std::string made = ScratchPath("file");
        std::filesystem::create_directories(made);
        return made;
    }();
    std::string path = folder + "/input" + extension;
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
