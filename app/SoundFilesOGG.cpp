#include "app/SoundFiles.h"

#include "platform/Files.h"

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <bit>
#include <climits>

namespace
{
// The decoder writes 16-bit samples in the machine's order; buffers and the
// cache hold them little-endian.
static_assert(std::endian::native == std::endian::little);

// Decodes the whole stream into the buffer. False on a decoding error or a
// part of the stream whose layout differs from the first; a stream that ends
// early leaves the rest of the buffer silent.
bool Decode(OggVorbis_File& stream, uint8_t* pcm, uint32_t bytes, int channels)
{
    uint32_t done = 0;
    while (done < bytes) {
        int section = 0;
        const int wanted = static_cast<int>(std::min<uint32_t>(bytes - done, INT_MAX));
        const long got = ov_read(&stream, reinterpret_cast<char*>(pcm + done), wanted, &section);
        if (got == 0) {
            return true;
        }
        const vorbis_info* info = ov_info(&stream, section);
        if (got < 0 || !info || info->channels != channels) {
            return false;
        }
        done += static_cast<uint32_t>(got);
    }
    return true;
}

// The 16-bit PCM layout of the stream and its size, or false when the
// stream cannot be held in one buffer.
bool DescribeStream(OggVorbis_File& stream, Platform::SoundFormat& format, uint32_t& bytes)
{
    const vorbis_info* info = ov_info(&stream, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < 1 || info->rate > INT_MAX) {
        return false;
    }
    format.formatTag = Platform::kSoundFormatPCM;
    format.channels = static_cast<uint16_t>(info->channels);
    format.samplesPerSecond = static_cast<uint32_t>(info->rate);
    format.bitsPerSample = 16;
    format.blockAlign = static_cast<uint16_t>(format.channels * 2);
    format.bytesPerSecond = format.blockAlign * format.samplesPerSecond;
    // Negative on an unseekable or damaged stream.
    const ogg_int64_t frames = ov_pcm_total(&stream, -1);
    if (frames <= 0 || frames > Platform::kSoundMaxBufferBytes / format.blockAlign) {
        return false;
    }
    bytes = static_cast<uint32_t>(frames) * format.blockAlign;
    return true;
}

std::unique_ptr<Platform::SoundBuffer> DecodeStream(Platform::SoundMixer& mixer, OggVorbis_File& stream)
{
    Platform::SoundFormat format;
    uint32_t bytes = 0;
    if (!DescribeStream(stream, format, bytes)) {
        return nullptr;
    }
    return SoundFiles::MakeFilledBuffer(mixer, format, bytes, [&](uint8_t* pcm, uint32_t lockedBytes) {
        return Decode(stream, pcm, lockedBytes, format.channels);
    });
}
} // namespace

namespace SoundFiles
{
std::unique_ptr<Platform::SoundBuffer> ReadOGG(Platform::SoundMixer& mixer, const String& fileName)
{
    std::FILE* file = Platform::Files::OpenForReading(fileName.CStr());
    if (!file) {
        return nullptr;
    }
    OggVorbis_File stream;
    if (ov_open(file, &stream, nullptr, 0) < 0) {
        std::fclose(file);
        return nullptr;
    }
    // ov_clear closes the file as well.
    std::unique_ptr<Platform::SoundBuffer> buffer = DecodeStream(mixer, stream);
    ov_clear(&stream);
    return buffer;
}
} // namespace SoundFiles
