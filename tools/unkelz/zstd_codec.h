#pragma once
// zstd streams of files. Both functions throw CodecIo::CodecError and leave
// no output behind on failure.
#include <string>

namespace Kelz {

constexpr int kDefaultLevel = 6;

// Accepts only frames that carry a content checksum, and verifies it.
void DecompressFile(const std::string& compressedPath, const std::string& outputPath);
// Writes one frame with the content size and a checksum.
void CompressFile(const std::string& inputPath, const std::string& compressedPath, int level);

}  // namespace Kelz
