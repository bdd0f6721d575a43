#include "pcm_samples.h"

namespace Kelw {

void BytesToSamples(const unsigned char* bytes, std::size_t count, unsigned bytesPerSample,
                    std::int32_t* samples) {
    for (std::size_t i = 0; i < count; ++i, bytes += bytesPerSample) {
        if (bytesPerSample == 1) {
            samples[i] = static_cast<std::int32_t>(bytes[0]) - 128;
            continue;
        }
        std::uint32_t value = 0;
        for (unsigned b = 0; b < bytesPerSample; ++b) value |= std::uint32_t(bytes[b]) << (8 * b);
        // Sign-extend from the container width.
        unsigned shift = 32 - 8 * bytesPerSample;
        samples[i] = static_cast<std::int32_t>(value << shift) >> shift;
    }
}

void SampleToBytes(std::int32_t sample, unsigned bytesPerSample, unsigned char* bytes) {
    if (bytesPerSample == 1) {
        bytes[0] = static_cast<unsigned char>(sample + 128);
        return;
    }
    auto value = static_cast<std::uint32_t>(sample);
    for (unsigned b = 0; b < bytesPerSample; ++b)
        bytes[b] = static_cast<unsigned char>(value >> (8 * b));
}

}  // namespace Kelw
