#include "SoundTestFolder.h"

#include "app/Audio.h"
#include "app/Sound.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace
{
void Put16(std::vector<uint8_t>& bytes, uint32_t value)
{
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& bytes, uint32_t value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
} // namespace

SoundTestFolder::SoundTestFolder() : oldFolder(std::filesystem::current_path())
{
    std::filesystem::current_path(folder.Path());
    theAudio.Initialize(nullptr);
}

SoundTestFolder::~SoundTestFolder()
{
    theAudio.Shutdown();
    std::filesystem::current_path(oldFolder);
}

void SoundTestFolder::CopyFixture(const std::string& fixture, const std::string& name) const
{
    WriteBytes(name, ReadFixture(fixture));
}

std::vector<uint8_t> SoundTestFolder::ReadFixture(const std::string& fixture)
{
    const char* source = std::getenv("QS_SOURCE_DIR");
    return ReadFile(std::string(source ? source : ".") + "/tests/fixtures/audio/" + fixture);
}

void SoundTestFolder::WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    const std::filesystem::path path = folder / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> SoundTestFolder::ReadBytes(const std::string& name) const
{
    return ReadFile(folder / name);
}

bool SoundTestFolder::Exists(const std::string& name) const
{
    return std::filesystem::exists(folder / name);
}

std::vector<uint8_t> SoundTestFolder::VoicePCM(const Sound& sound, int voice)
{
    Platform::SoundBuffer* buffer = sound.GetVoice(voice)->GetBuffer();
    uint32_t bytes = 0;
    const uint8_t* pcm = buffer->Lock(bytes);
    std::vector<uint8_t> copy(pcm, pcm + bytes);
    buffer->Unlock();
    return copy;
}

std::vector<uint8_t> MakeSoundCacheFile(uint16_t channels, uint16_t bits, uint32_t rate,
                                        const std::vector<uint8_t>& pcm)
{
    const uint32_t blockAlign = channels * bits / 8;
    std::vector<uint8_t> bytes;
    Put16(bytes, 1);
    Put16(bytes, channels);
    Put32(bytes, rate);
    Put32(bytes, rate * blockAlign);
    Put16(bytes, blockAlign);
    Put16(bytes, bits);
    Put32(bytes, 36);
    Put32(bytes, 0xAA);
    Put32(bytes, static_cast<uint32_t>(pcm.size()));
    bytes.resize(bytes.size() + 24, 0);
    Put32(bytes, static_cast<uint32_t>(pcm.size()));
    bytes.insert(bytes.end(), pcm.begin(), pcm.end());
    return bytes;
}
