#include "wav_layout.h"

#include <cstring>

#include "codec_io.h"

namespace Kelw {
namespace {

using CodecIo::CodecError;

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// Chunks before the samples are stored in the compressed file's metadata.
constexpr std::uint32_t kMaxHeaderSize = 16 * 1024 * 1024 - 1;

std::uint32_t Le32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}
std::uint16_t Le16(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}
void PutLe32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutLe16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void ParseFormat(const std::string& body, WavLayout& layout, const std::string& name) {
    if (body.size() < 16) throw CodecError(name + ": malformed fmt chunk");
    std::uint16_t tag = Le16(&body[0]);
    if (tag == kFormatExtensible && (body.size() < 26 || Le16(&body[24]) != kFormatPcm))
        throw CodecError(name + ": unsupported WAV format (not integer PCM)");
    if (tag != kFormatPcm && tag != kFormatExtensible)
        throw CodecError(name + ": unsupported WAV format (not integer PCM)");
    layout.channels = Le16(&body[2]);
    layout.sampleRate = Le32(&body[4]);
    unsigned blockAlign = Le16(&body[12]);
    if (layout.channels == 0 || blockAlign == 0 || blockAlign % layout.channels != 0)
        throw CodecError(name + ": malformed fmt chunk");
    layout.bytesPerSample = blockAlign / layout.channels;
    if (layout.bytesPerSample > 4) throw CodecError(name + ": unsupported sample size");
}

}  // namespace

WavLayout ReadWavLayout(const ReadExactFn& read, const std::string& name) {
    WavLayout layout;
    char riff[12];
    read(riff, sizeof(riff), "the RIFF header");
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        throw CodecError(name + ": not a RIFF/WAVE file");
    layout.header.assign(riff, sizeof(riff));
    bool haveFormat = false;
    for (;;) {
        char chunk[8];
        read(chunk, sizeof(chunk), "a chunk header");
        layout.header.append(chunk, sizeof(chunk));
        std::uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) throw CodecError(name + ": data chunk before the fmt chunk");
            if (size % layout.FrameSize() != 0)
                throw CodecError(name + ": data size is not a whole number of sample frames");
            layout.dataSize = size;
            return layout;
        }
        std::uint64_t padded = size + (size & 1u);
        if (layout.header.size() + padded > kMaxHeaderSize)
            throw CodecError(name + ": too much data before the samples");
        std::string body(static_cast<std::size_t>(padded), '\0');
        read(&body[0], body.size(), "a chunk");
        layout.header += body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            ParseFormat(body.substr(0, size), layout, name);
            haveFormat = true;
        }
    }
}

WavLayout ParseWavHeader(const std::string& bytes, const std::string& name) {
    std::size_t position = 0;
    auto read = [&](char* buffer, std::size_t n, const char*) {
        if (bytes.size() - position < n) throw CodecError(name + ": damaged WAV header");
        std::memcpy(buffer, bytes.data() + position, n);
        position += n;
    };
    return ReadWavLayout(read, name);
}

std::string BuildCanonicalHeader(unsigned channels, unsigned sampleRate, unsigned bytesPerSample,
                                 std::uint64_t frames) {
    std::uint64_t dataSize = frames * channels * bytesPerSample;
    if (dataSize > 0xFFFFFFFFull - 36 - 1) throw CodecError("sound too long for a WAV file");
    auto size = static_cast<std::uint32_t>(dataSize);
    std::string out = "RIFF";
    PutLe32(out, 36 + size + (size & 1u));
    out += "WAVEfmt ";
    PutLe32(out, 16);
    PutLe16(out, kFormatPcm);
    PutLe16(out, static_cast<std::uint16_t>(channels));
    PutLe32(out, sampleRate);
    PutLe32(out, sampleRate * channels * bytesPerSample);
    PutLe16(out, static_cast<std::uint16_t>(channels * bytesPerSample));
    PutLe16(out, static_cast<std::uint16_t>(8 * bytesPerSample));
    out += "data";
    PutLe32(out, size);
    return out;
}

}  // namespace Kelw
