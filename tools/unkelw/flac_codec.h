#pragma once
// WAV <-> FLAC with the WAV's own bytes kept: the bytes before the samples and
// the bytes after them travel in APPLICATION metadata blocks with the id
// "riff". The decoder joins all such blocks in order and splits them at the
// "data" chunk header, so any split of those bytes into blocks is read. Both functions
// throw CodecIo::CodecError and leave no output behind on failure.
#include <string>

namespace Kelw {

void EncodeWav(const std::string& wavPath, const std::string& compressedPath);
// Succeeds only when every frame decoded cleanly and the samples match the
// stream's MD5 signature.
void DecodeToWav(const std::string& compressedPath, const std::string& wavPath);

}  // namespace Kelw
