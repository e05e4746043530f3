#include "app/SoundFiles.h"

#include "app/FileHelpers.h"
#include "app/IOBuffer.h"
#include "platform/Files.h"

#include <cstring>
#include <vector>

namespace
{
// Wave format (16 bytes), buffer description (36 bytes), PCM byte count.
constexpr size_t kFormatBytes = SoundFiles::kWaveFormatBytes;
constexpr size_t kDescriptionBytes = 36;
constexpr size_t kHeaderBytes = kFormatBytes + kDescriptionBytes + 4;
// Static buffer, software mixing, frequency and volume control.
constexpr uint32_t kBufferFlags = 0xAA;

void Write16(IOBuffer& file, uint16_t value)
{
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    file.WriteBytes(bytes, 2);
}

// IOBuffer writes its integers little-endian, as the cache holds them.
void WriteFormat(IOBuffer& file, const Platform::SoundFormat& format)
{
    Write16(file, format.formatTag);
    Write16(file, format.channels);
    file.WriteInt(static_cast<int32_t>(format.samplesPerSecond));
    file.WriteInt(static_cast<int32_t>(format.bytesPerSecond));
    Write16(file, format.blockAlign);
    Write16(file, format.bitsPerSample);
}

// The description as it stood in memory: its format pointer means nothing on
// disk and is written as 0, as is the unused 3D algorithm.
void WriteDescription(IOBuffer& file, uint32_t bufferBytes)
{
    file.WriteInt(static_cast<int32_t>(kDescriptionBytes));
    file.WriteInt(static_cast<int32_t>(kBufferFlags));
    file.WriteInt(static_cast<int32_t>(bufferBytes));
    file.WriteInt(0);
    file.WriteInt(0);
    const uint8_t algorithm[16] = {};
    file.WriteBytes(algorithm, sizeof algorithm);
}
} // namespace

namespace SoundFiles
{
std::unique_ptr<Platform::SoundBuffer> ReadCache(Platform::SoundMixer& mixer, const String& cacheFile)
{
    std::vector<uint8_t> file;
    if (!Platform::Files::ReadWhole(cacheFile.CStr(), file) || file.size() < kHeaderBytes) {
        return nullptr;
    }
    const Platform::SoundFormat format = ReadWaveFormat(file.data());
    const uint32_t bufferBytes = Read32(file.data() + kFormatBytes + 8);
    const uint32_t count = Read32(file.data() + kFormatBytes + kDescriptionBytes);
    // A file that is short or disagrees with itself was damaged: the sound
    // is loaded from its source file again, which rewrites it.
    if (count != bufferBytes || bufferBytes > file.size() - kHeaderBytes) {
        return nullptr;
    }
    return MakeFilledBuffer(mixer, format, bufferBytes, [&](uint8_t* pcm, uint32_t bytes) {
        std::memcpy(pcm, file.data() + kHeaderBytes, bytes);
        return true;
    });
}

bool WriteCache(const String& cacheFile, Platform::SoundBuffer& buffer)
{
    MakeFolders(cacheFile);
    IOBuffer file;
    WriteFormat(file, buffer.GetFormat());
    WriteDescription(file, buffer.GetBytes());
    uint32_t lockedBytes = 0;
    const uint8_t* pcm = buffer.Lock(lockedBytes);
    if (!pcm) {
        ShowError("Could not cache sound", "Sound Cache Error");
        return false;
    }
    file.WriteInt(static_cast<int32_t>(lockedBytes));
    file.WriteBytes(pcm, static_cast<int32_t>(lockedBytes));
    buffer.Unlock();
    // A cache, not a file of the player's: one that fails is made again
    // from its sound, with no word to the player.
    return Platform::Files::WriteWhole(cacheFile.CStr(), file.GetData(), size_t(file.GetSize()));
}
} // namespace SoundFiles
