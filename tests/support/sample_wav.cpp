#include "support/sample_wav.h"

#include <cmath>
#include <cstdint>

namespace TestSupport {
namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutChunk(std::string& out, const char* id, const std::string& body) {
    out += id;
    PutLe(out, static_cast<std::uint32_t>(body.size()), 4);
    out += body;
    if (body.size() % 2) out += '\0';
}

}  // namespace

std::string MakeWav(unsigned frames, unsigned bitsPerSample, unsigned channels, bool extraChunks) {
    const unsigned bytes = bitsPerSample / 8, rate = 44100;
    std::string format;
    PutLe(format, 1, 2);  // integer PCM
    PutLe(format, channels, 2);
    PutLe(format, rate, 4);
    PutLe(format, rate * channels * bytes, 4);
    PutLe(format, channels * bytes, 2);
    PutLe(format, bitsPerSample, 2);
    std::string samples;
    const double peak = (1u << (bitsPerSample - 1)) * 0.7;
    for (unsigned i = 0; i < frames; ++i)
        for (unsigned ch = 0; ch < channels; ++ch) {
            auto value =
                static_cast<std::int32_t>(std::lround(peak * std::sin(i * 0.03 * (ch + 1))));
            value += static_cast<std::int32_t>((i * 7919u + ch) % 61) - 30;  // a little noise
            PutLe(samples, static_cast<std::uint32_t>(bytes == 1 ? value + 128 : value), bytes);
        }
    std::string body = "WAVE";
    PutChunk(body, "fmt ", format);
    if (extraChunks) PutChunk(body, "LIST", std::string("INFOISFT\x05\0\0\0test\0", 17));
    PutChunk(body, "data", samples);
    if (extraChunks) PutChunk(body, "note", "odd");
    std::string wav = "RIFF";
    PutLe(wav, static_cast<std::uint32_t>(body.size()), 4);
    return wav + body;
}

}  // namespace TestSupport
