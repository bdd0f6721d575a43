#pragma once
// Finding the release floor block in an executable image and reading or
// writing its number. Works on the image held in memory.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Stamp {

// Offset of the release floor block's marker, or kNoMarkedBlock for an
// image built without one. Throws StampError as FindMarkedBlock does.
std::size_t FindFloorBlock(const std::string& image);

// The stamped floor; 0 for none.
std::uint64_t ReadFloor(const std::string& image, std::size_t block);

// Writes the floor as decimal digits (0 clears it).
void WriteFloor(std::string& image, std::size_t block, std::uint64_t floor);

// The floor given on the command line: decimal digits, at most the largest
// release number that updaters read. Throws StampError naming the text.
std::uint64_t ParseFloor(const std::string& text);

// "release-floor=<number>" or "release-floor=none".
std::string FloorLine(std::uint64_t floor);

}  // namespace Stamp
