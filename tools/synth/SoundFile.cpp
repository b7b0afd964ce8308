#include "SoundFile.h"

#include "SampleRate.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const int Channels = 2;
const int BitsPerSample = 16;

// Bytes of a little-endian 16 or 32-bit field.
void PutLe(std::vector<unsigned char>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void PutTag(std::vector<unsigned char>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

// Writes the bytes to a temporary file and renames it into place, so an interrupted
// run never leaves a half-written sound file that looks finished.
bool WriteWhole(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error)
{
    std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot create \"" + temporary + "\": " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int savedErrno = errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        savedErrno = errno;
    }
    if (!written) {
        error = "cannot write \"" + temporary + "\": " + std::strerror(savedErrno);
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot rename \"" + temporary + "\" to \"" + path + "\": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void AppendPage(std::vector<unsigned char>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Passes the Vorbis headers into the stream and appends them to bytes. The headers end
// on a page of their own, so audio starts on a fresh page.
void WriteHeaders(vorbis_dsp_state* dsp, vorbis_comment* comment, ogg_stream_state* stream,
                  std::vector<unsigned char>& bytes)
{
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(dsp, comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(stream, &header);
    ogg_stream_packetin(stream, &commentHeader);
    ogg_stream_packetin(stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(stream, &page) != 0)
        AppendPage(bytes, page);
}

// Hands the encoder the next chunk of pcm from frame *done on, or the end of the stream
// once all of it is in.
void FeedEncoder(vorbis_dsp_state* dsp, const std::vector<int16_t>& pcm, size_t* done)
{
    const size_t frames = pcm.size() / Channels;
    const size_t chunk = 4096;
    if (*done >= frames) {
        vorbis_analysis_wrote(dsp, 0); // end of stream
        return;
    }
    size_t count = std::min(chunk, frames - *done);
    float** input = vorbis_analysis_buffer(dsp, static_cast<int>(count));
    for (size_t i = 0; i < count; ++i) {
        input[0][i] = pcm[(*done + i) * Channels] / 32768.0f;
        input[1][i] = pcm[(*done + i) * Channels + 1] / 32768.0f;
    }
    vorbis_analysis_wrote(dsp, static_cast<int>(count));
    *done += count;
}

// Encodes what the encoder holds and appends the pages it fills to bytes. Returns true
// once the stream's last page is out.
bool DrainPages(vorbis_dsp_state* dsp, vorbis_block* block, ogg_stream_state* stream,
                std::vector<unsigned char>& bytes)
{
    bool ended = false;
    while (vorbis_analysis_blockout(dsp, block) == 1) {
        vorbis_analysis(block, nullptr);
        vorbis_bitrate_addblock(block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(dsp, &packet) == 1) {
            ogg_stream_packetin(stream, &packet);
            ogg_page page;
            while (ogg_stream_pageout(stream, &page) != 0) {
                AppendPage(bytes, page);
                if (ogg_page_eos(&page))
                    ended = true;
            }
        }
    }
    return ended;
}

} // namespace

std::vector<int16_t> ToPcm(const StereoBuffer& buffer, float peak)
{
    float loudest = 0.0f;
    for (size_t i = 0; i < buffer.Frames(); ++i)
        loudest = std::fmax(loudest, std::fmax(std::fabs(buffer.left[i]), std::fabs(buffer.right[i])));
    float scale = loudest > 0.0f ? peak * 32767.0f / loudest : 0.0f;
    std::vector<int16_t> pcm;
    pcm.reserve(buffer.Frames() * Channels);
    for (size_t i = 0; i < buffer.Frames(); ++i) {
        pcm.push_back(static_cast<int16_t>(std::lrint(buffer.left[i] * scale)));
        pcm.push_back(static_cast<int16_t>(std::lrint(buffer.right[i] * scale)));
    }
    return pcm;
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& pcm, std::string& error)
{
    uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * sizeof(int16_t));
    const uint32_t blockAlign = Channels * BitsPerSample / 8;
    std::vector<unsigned char> bytes;
    bytes.reserve(44 + dataBytes);
    PutTag(bytes, "RIFF");
    PutLe(bytes, 36 + dataBytes, 4);
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    PutLe(bytes, 16, 4);             // size of the format chunk
    PutLe(bytes, 1, 2);              // PCM
    PutLe(bytes, Channels, 2);
    PutLe(bytes, SampleRate, 4);
    PutLe(bytes, SampleRate * blockAlign, 4);
    PutLe(bytes, blockAlign, 2);
    PutLe(bytes, BitsPerSample, 2);
    PutTag(bytes, "data");
    PutLe(bytes, dataBytes, 4);
    for (int16_t sample : pcm)
        PutLe(bytes, static_cast<uint16_t>(sample), 2);
    return WriteWhole(path, bytes, error);
}

bool WriteOgg(const std::string& path, const std::vector<int16_t>& pcm, float quality, const char* title,
              std::string& error)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, Channels, SampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        error = "the Vorbis encoder refuses 44100 Hz stereo at this quality";
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", title);
    vorbis_comment_add_tag(&comment, "ENCODER", "movo-synth");

    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x4d6f766f);

    std::vector<unsigned char> bytes;
    WriteHeaders(&dsp, &comment, &stream, bytes);
    size_t done = 0;
    bool ended = false;
    while (!ended) {
        FeedEncoder(&dsp, pcm, &done);
        ended = DrainPages(&dsp, &block, &stream, bytes);
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return WriteWhole(path, bytes, error);
}
