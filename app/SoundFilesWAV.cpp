#include "app/SoundFiles.h"

#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
// The format is taken from where the usual header puts it, without walking
// the chunks; the data chunk is searched for from the bits-per-sample field
// on.
constexpr size_t kFormatAt = 20;
constexpr size_t kDataSearchFrom = 34;

bool HasTag(const std::vector<uint8_t>& file, size_t at, const char* tag)
{
    return file.size() >= at + 4 && std::memcmp(file.data() + at, tag, 4) == 0;
}

// The position of the data chunk's tag; its size field must lie inside the
// file too. 0 when there is none.
size_t FindDataChunk(const std::vector<uint8_t>& file)
{
    for (size_t at = kDataSearchFrom; at + 8 <= file.size(); ++at) {
        if (HasTag(file, at, "data")) {
            return at;
        }
    }
    return 0;
}

std::unique_ptr<Platform::SoundBuffer> Refuse(const char* message)
{
    SoundFiles::ShowError(message, "HEY");
    return nullptr;
}
} // namespace

namespace SoundFiles
{
std::unique_ptr<Platform::SoundBuffer> ReadWAV(Platform::SoundMixer& mixer, const String& fileName)
{
    std::vector<uint8_t> file;
    if (!Platform::Files::ReadWhole(fileName.CStr(), file)) {
        return nullptr;
    }
    if (!HasTag(file, 0, "RIFF")) {
        return Refuse("Could not load WAV sound (1)");
    }
    if (!HasTag(file, 8, "WAVE")) {
        return Refuse("Could not load WAV sound (2)");
    }
    // A data tag found from byte 34 on also proves the format fields there.
    const size_t dataAt = FindDataChunk(file);
    if (dataAt == 0) {
        return Refuse("Could not load sound (3)");
    }
    Platform::SoundFormat format = ReadWaveFormat(file.data() + kFormatAt);
    format.bytesPerSecond = format.blockAlign * format.samplesPerSecond;
    // A data size beyond the file's end takes what the file holds.
    const size_t available = file.size() - (dataAt + 8);
    const uint32_t dataBytes =
        static_cast<uint32_t>(std::min<size_t>(Read32(file.data() + dataAt + 4), available));
    std::unique_ptr<Platform::SoundBuffer> buffer = mixer.CreateBuffer(format, dataBytes);
    if (!buffer) {
        return Refuse("Could not load sound (4)");
    }
    const FillFailure failure = FillBuffer(*buffer, [&](uint8_t* pcm, uint32_t bytes) {
        std::memcpy(pcm, file.data() + dataAt + 8, bytes);
        return true;
    });
    if (failure == FillFailure::Lock) {
        return Refuse("Could not load sound (5)");
    }
    if (failure == FillFailure::Unlock) {
        return Refuse("Could not load sound (6)");
    }
    return buffer;
}
} // namespace SoundFiles
