#include "stamp_floor_block.h"

#include <limits>

#include "engine/release_floor_block.h"
#include "marked_block.h"
#include "stamp_image.h"

namespace Stamp {
namespace {

constexpr std::size_t kFloorOffset = ReleaseFloorBlock::kFloorMarkerSize;
constexpr std::size_t kFloorSize = ReleaseFloorBlock::kFloorTextSize;
// Release numbers are signed 64-bit values in the update document.
constexpr std::uint64_t kLargestRelease =
    static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

}  // namespace

std::size_t FindFloorBlock(const std::string& image) {
    return FindMarkedBlock(image, ReleaseFloorBlock::kFloorMarker, ReleaseFloorBlock::kBlockSize,
                           "release floor");
}

std::uint64_t ReadFloor(const std::string& image, std::size_t block) {
    const std::string field = image.substr(block + kFloorOffset, kFloorSize);
    const std::string text = field.substr(0, field.find('\0'));
    try {
        return text.empty() ? 0 : ParseFloor(text);
    } catch (const StampError&) {
        return 0;  // as the updater reads it
    }
}

void WriteFloor(std::string& image, std::size_t block, std::uint64_t floor) {
    std::string field = floor == 0 ? std::string() : std::to_string(floor);
    field.resize(kFloorSize, '\0');
    image.replace(block + kFloorOffset, kFloorSize, field);
}

std::uint64_t ParseFloor(const std::string& text) {
    std::uint64_t value = 0;
    bool fits = !text.empty() && text.size() <= 19;
    for (char c : text) fits = fits && c >= '0' && c <= '9';
    if (fits) value = std::stoull(text);
    if (!fits || value > kLargestRelease)
        throw StampError("a release floor is a release number (decimal digits, at most " +
                         std::to_string(kLargestRelease) + "), not '" + text + "'");
    return value;
}

std::string FloorLine(std::uint64_t floor) {
    return "release-floor=" + (floor == 0 ? std::string("none") : std::to_string(floor));
}

}  // namespace Stamp
