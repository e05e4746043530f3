#pragma once

#include "app/String.h"
#include "platform/Sound.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// The readers and the writer behind Sound::Load: the decoded-sound cache,
// Ogg Vorbis and WAV files. Each reader gives a filled buffer, or null after
// releasing whatever it had made; nothing is read beyond a file's end.
namespace SoundFiles
{
// "cached\<name>.cached" for the sound's base name.
String CachePath(const String& name);

// The cache file of a source file: the file name up to the last "." of its
// last component.
String CachePathOf(const String& sourceFile);

std::unique_ptr<Platform::SoundBuffer> ReadCache(Platform::SoundMixer& mixer, const String& cacheFile);
// False when the cache file could not be written.
bool WriteCache(const String& cacheFile, Platform::SoundBuffer& buffer);

// Silent failure: an unreadable or undecodable file gives null without a
// message.
std::unique_ptr<Platform::SoundBuffer> ReadOGG(Platform::SoundMixer& mixer, const String& file);
// Every refusal of a readable file tells the player in a message box.
std::unique_ptr<Platform::SoundBuffer> ReadWAV(Platform::SoundMixer& mixer, const String& file);

void ShowError(const String& text, const char* title);

// Writing a new buffer's PCM under its lock: the step that failed, if any.
enum class FillFailure
{
    None,
    Lock,
    Fill,
    Unlock
};
using FillPCM = std::function<bool(uint8_t* pcm, uint32_t bytes)>;
FillFailure FillBuffer(Platform::SoundBuffer& buffer, const FillPCM& fill);
// A new buffer filled by "fill", or null when any step failed.
std::unique_ptr<Platform::SoundBuffer> MakeFilledBuffer(Platform::SoundMixer& mixer,
                                                        const Platform::SoundFormat& format, uint32_t bytes,
                                                        const FillPCM& fill);

// The 16-byte wave format of WAV and cache files, little-endian.
constexpr size_t kWaveFormatBytes = 16;
Platform::SoundFormat ReadWaveFormat(const uint8_t* bytes);
uint32_t Read32(const uint8_t* bytes);
} // namespace SoundFiles
