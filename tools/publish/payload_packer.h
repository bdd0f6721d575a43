#pragma once
// How one product file is served: PCM WAV files as ".Kelw" (FLAC that
// restores the WAV byte for byte), other files as ".Kelz" (zstd) when that
// saves enough, otherwise as they are.
#include <cstdint>
#include <string>

namespace Publish {

struct PackedPayload {
    std::string suffix;      // "", ".Kelz" or ".Kelw", appended to the served name
    std::uint64_t size = 0;  // bytes as served
    bool Compressed() const { return !suffix.empty(); }
};

// Packing is kept only when it saves at least this many bytes and this share
// of the file: a packed file costs the client a decompressor start.
constexpr std::uint64_t kLeastSavedBytes = 1024;
constexpr std::uint64_t kLeastSavedPercent = 5;

// True when a file of originalSize packed to packedSize is worth serving packed.
bool IsWorthPacking(std::uint64_t originalSize, std::uint64_t packedSize);

// True when the file starts like a RIFF/WAVE file.
bool LooksLikeWav(const std::string& path);

// Writes source as served to servedBase + suffix and returns what it wrote.
// zstdLevel is 1..22. Throws PublishError; nothing is left at servedBase*
// after a failure.
PackedPayload PackPayload(const std::string& source, const std::string& servedBase, int zstdLevel);

}  // namespace Publish
