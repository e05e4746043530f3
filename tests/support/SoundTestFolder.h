#pragma once

#include "TemporaryFolder.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class Sound;

// The sound device started on SDL's dummy driver, with a fresh working
// folder, since sounds and their cache are found relative to it. Shuts the
// device down and returns to the old folder when it goes.
class SoundTestFolder
{
public:
    SoundTestFolder();
    ~SoundTestFolder();
    SoundTestFolder(const SoundTestFolder&) = delete;
    SoundTestFolder& operator=(const SoundTestFolder&) = delete;

    // Copies tests/fixtures/audio/<fixture> to <name> in the folder.
    void CopyFixture(const std::string& fixture, const std::string& name) const;
    static std::vector<uint8_t> ReadFixture(const std::string& fixture);

    void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::vector<uint8_t> ReadBytes(const std::string& name) const;
    bool Exists(const std::string& name) const;

    // The PCM of one voice of a sound.
    static std::vector<uint8_t> VoicePCM(const Sound& sound, int voice = 0);

private:
    TemporaryFolder folder;
    std::filesystem::path oldFolder;
};

// A cache file's bytes: the wave format, the buffer description and the PCM.
std::vector<uint8_t> MakeSoundCacheFile(uint16_t channels, uint16_t bits, uint32_t rate,
                                        const std::vector<uint8_t>& pcm);
