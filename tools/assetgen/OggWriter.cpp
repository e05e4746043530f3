#include "tools/assetgen/OggWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace AssetGen {
namespace {

void WritePage(FILE* f, const ogg_page& page)
{
    std::fwrite(page.header, 1, size_t(page.header_len), f);
    std::fwrite(page.body, 1, size_t(page.body_len), f);
}

} // namespace

void OggWriter::Write(const std::string& path, const std::vector<float>& samples, int rate, int serial)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + path);
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, rate, 0.5f) != 0)
        throw std::runtime_error("vorbis encoder set-up failed for " + path);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0)
        WritePage(f, page);

    auto drain = [&] {
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet) == 1) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0)
                    WritePage(f, page);
            }
        }
    };
    constexpr size_t kChunk = 4096;
    for (size_t pos = 0; pos < samples.size(); pos += kChunk) {
        size_t n = std::min(kChunk, samples.size() - pos);
        float** buffer = vorbis_analysis_buffer(&vd, int(n));
        std::copy_n(samples.begin() + long(pos), n, buffer[0]);
        vorbis_analysis_wrote(&vd, int(n));
        drain();
    }
    vorbis_analysis_wrote(&vd, 0); // the end of the stream
    drain();
    while (ogg_stream_flush(&os, &page) != 0)
        WritePage(f, page);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    std::fclose(f);
}

} // namespace AssetGen
