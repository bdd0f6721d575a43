#pragma once
// Finding the document key block in an executable image and reading or
// writing its key. Works on the image held in memory.
#include <cstddef>
#include <string>

namespace Stamp {

constexpr std::size_t kNoKeyBlock = static_cast<std::size_t>(-1);  // as kNoMarkedBlock

// Offset of the key block's marker, or kNoKeyBlock for an image built
// without one. Throws StampError for more than one marker or a block cut
// short by the image's end.
std::size_t FindKeyBlock(const std::string& image);

// The stamped key: 64 bytes X || Y, or "" when the block holds zeros only.
std::string ReadKey(const std::string& image, std::size_t block);

// Writes the 64-byte key, or zeros for an empty key ("no key").
void WriteKey(std::string& image, std::size_t block, const std::string& key);

// "public-key=<128 lower-case hex digits>" or "public-key=none".
std::string KeyLine(const std::string& key);

}  // namespace Stamp
