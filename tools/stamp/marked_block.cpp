#include "marked_block.h"

#include <cstring>

#include "stamp_image.h"

namespace Stamp {

std::size_t FindMarkedBlock(const std::string& image, const char* marker, std::size_t blockSize,
                            const std::string& what) {
    // With its terminator, as for the build settings marker.
    const std::string pattern(marker, std::strlen(marker) + 1);
    const std::size_t first = image.find(pattern);
    if (first == std::string::npos) return kNoMarkedBlock;
    if (image.find(pattern, first + 1) != std::string::npos)
        throw StampError("more than one " + what + " marker found; refusing to guess");
    if (image.size() - first < blockSize)
        throw StampError("the " + what + " block is cut short by the end of the file");
    return first;
}

}  // namespace Stamp
