#pragma once
// The layout of a RIFF/WAVE file of integer PCM: everything before the sample
// bytes is kept verbatim as the header, so the file can be rebuilt exactly.
#include <cstdint>
#include <functional>
#include <string>

namespace Kelw {

struct WavLayout {
    std::string header;  // RIFF header, every chunk before "data", the "data" chunk header
    unsigned channels = 0;
    unsigned sampleRate = 0;
    unsigned bytesPerSample = 0;  // container size of one sample: 1..4
    std::uint32_t dataSize = 0;   // bytes of sample data, a whole number of frames

    unsigned FrameSize() const { return channels * bytesPerSample; }
    std::uint64_t FrameCount() const { return FrameSize() ? dataSize / FrameSize() : 0; }
};

// Reads exactly n bytes into the buffer or throws CodecIo::CodecError.
using ReadExactFn = std::function<void(char* buffer, std::size_t n, const char* what)>;

// Reads the header up to and including the "data" chunk header. Throws
// CodecIo::CodecError for anything that is not integer PCM in a RIFF/WAVE file.
WavLayout ReadWavLayout(const ReadExactFn& read, const std::string& name);
// Parses the header at the front of bytes kept in memory; the layout's header
// is that prefix, and whatever follows it is the WAV's tail.
WavLayout ParseWavHeader(const std::string& bytes, const std::string& name);
// A plain 44-byte header for samples that arrive without a kept header.
std::string BuildCanonicalHeader(unsigned channels, unsigned sampleRate, unsigned bytesPerSample,
                                 std::uint64_t frames);

}  // namespace Kelw
