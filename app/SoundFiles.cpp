#include "app/SoundFiles.h"

#include "platform/Dialogs.h"

namespace
{
int LastSeparator(const String& path)
{
    int last = -1;
    for (int i = 0; i < path.Length(); ++i) {
        if (path.CharAt(i) == '\\' || path.CharAt(i) == '/') {
            last = i;
        }
    }
    return last;
}
} // namespace

namespace SoundFiles
{
uint32_t Read32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
           (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

Platform::SoundFormat ReadWaveFormat(const uint8_t* at)
{
    const auto read16 = [](const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); };
    Platform::SoundFormat format;
    format.formatTag = read16(at);
    format.channels = read16(at + 2);
    format.samplesPerSecond = Read32(at + 4);
    format.bytesPerSecond = Read32(at + 8);
    format.blockAlign = read16(at + 12);
    format.bitsPerSample = read16(at + 14);
    return format;
}

String CachePath(const String& name)
{
    return String::StringFormat("cached\\%s.cached", name);
}

String CachePathOf(const String& sourceFile)
{
    int dot = -1;
    for (int i = LastSeparator(sourceFile) + 1; i < sourceFile.Length(); ++i) {
        if (sourceFile.CharAt(i) == '.') {
            dot = i;
        }
    }
    return CachePath(dot < 0 ? sourceFile : sourceFile.Substring(0, dot));
}

FillFailure FillBuffer(Platform::SoundBuffer& buffer, const FillPCM& fill)
{
    uint32_t bytes = 0;
    uint8_t* pcm = buffer.Lock(bytes);
    if (!pcm) {
        return FillFailure::Lock;
    }
    const bool filled = fill(pcm, bytes);
    if (!buffer.Unlock()) {
        return FillFailure::Unlock;
    }
    return filled ? FillFailure::None : FillFailure::Fill;
}

std::unique_ptr<Platform::SoundBuffer> MakeFilledBuffer(Platform::SoundMixer& mixer,
                                                        const Platform::SoundFormat& format, uint32_t bytes,
                                                        const FillPCM& fill)
{
    std::unique_ptr<Platform::SoundBuffer> buffer = mixer.CreateBuffer(format, bytes);
    if (!buffer || FillBuffer(*buffer, fill) != FillFailure::None) {
        return nullptr;
    }
    return buffer;
}

void ShowError(const String& text, const char* title)
{
    Platform::Dialogs::ShowMessage(title, text.CStr());
}
} // namespace SoundFiles
