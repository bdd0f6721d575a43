#pragma once
// WAV files for tests that fetch, pack or unpack sound files.
#include <string>

namespace TestSupport {

// A WAV file of integer PCM (8-bit samples are unsigned), with a LIST chunk
// before the samples and another chunk after them when extraChunks; odd
// sizes get their pad byte.
std::string MakeWav(unsigned frames, unsigned bitsPerSample = 16, unsigned channels = 2,
                    bool extraChunks = true);

}  // namespace TestSupport
