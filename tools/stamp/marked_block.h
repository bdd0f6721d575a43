#pragma once
// Finding a block that the updater image marks with a text of its own (the
// document key, the release floor). Works on the image held in memory.
#include <cstddef>
#include <string>

namespace Stamp {

constexpr std::size_t kNoMarkedBlock = static_cast<std::size_t>(-1);

// Offset of the block whose marker (a zero-terminated text) starts it, or
// kNoMarkedBlock for an image built without one. Throws StampError, naming
// the block by what, for more than one marker or a block of blockSize bytes
// cut short by the image's end.
std::size_t FindMarkedBlock(const std::string& image, const char* marker, std::size_t blockSize,
                            const std::string& what);

}  // namespace Stamp
