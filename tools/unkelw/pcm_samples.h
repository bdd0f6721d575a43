#pragma once
// Conversion between WAV sample bytes (little-endian; 8-bit is unsigned) and
// the signed 32-bit samples of the FLAC library.
#include <cstddef>
#include <cstdint>

namespace Kelw {

// bytes holds count samples of bytesPerSample each (all channels interleaved).
void BytesToSamples(const unsigned char* bytes, std::size_t count, unsigned bytesPerSample,
                    std::int32_t* samples);
void SampleToBytes(std::int32_t sample, unsigned bytesPerSample, unsigned char* bytes);

}  // namespace Kelw
