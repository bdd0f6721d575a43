#include "stamp_image.h"

#include "engine/build_config_block.h"

namespace Stamp {
namespace {

constexpr std::size_t kSlotSize = BuildConfig::kSlotSize;
constexpr std::size_t kBlockSize = kSlotSize * BuildConfig::kSlotCount;

// The marker with its terminator: text that merely contains the marker is
// not a block.
std::string MarkerPattern() {
    return std::string(BuildConfig::kMarker, sizeof(BuildConfig::kMarker));
}

bool IsHexOnly(const std::string& text) {
    for (char c : text) {
        bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) {
            return false;
        }
    }
    return true;
}

std::string HexEncode(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        hex.push_back(kDigits[c >> 4]);
        hex.push_back(kDigits[c & 0x0F]);
    }
    return hex;
}

bool IsDecodedSlot(int slot) { return slot == kDownloadIdSlot || slot == kServerHostSlot; }

void CheckValueSlot(int slot) {
    if (slot < kFirstValueSlot || slot > kLastValueSlot) {
        throw StampError("slot " + std::to_string(slot) + " is not a value slot (1 to 5)");
    }
}

}  // namespace

const char* SlotName(int slot) {
    static const char* const kNames[] = {"marker",       "download-id", "host",
                                         "service-path", "brand",       "checksum"};
    return (slot >= 0 && slot <= kLastValueSlot) ? kNames[slot] : "?";
}

std::size_t FindBlock(const std::string& image) {
    const std::string marker = MarkerPattern();
    const std::size_t first = image.find(marker);
    if (first == std::string::npos) {
        throw StampError("no build settings block found (marker text missing)");
    }
    if (image.find(marker, first + 1) != std::string::npos) {
        throw StampError("more than one build settings marker found; refusing to guess");
    }
    if (image.size() - first < kBlockSize) {
        throw StampError("the build settings block is cut short by the end of the file");
    }
    return first;
}

std::string ReadSlotText(const std::string& image, std::size_t block, int slot) {
    const std::size_t start = block + static_cast<std::size_t>(slot) * kSlotSize;
    const std::size_t end = image.find('\0', start);
    const std::size_t limit = start + kSlotSize;
    return image.substr(start, (end == std::string::npos || end > limit ? limit : end) - start);
}

void WriteSlotText(std::string& image, std::size_t block, int slot, const std::string& text) {
    CheckValueSlot(slot);
    if (text.size() >= kSlotSize) {
        throw StampError(std::string("value for --") + SlotName(slot) + " is " +
                         std::to_string(text.size()) + " characters long; a slot holds at most " +
                         std::to_string(kSlotSize - 1));
    }
    if (text.find('\0') != std::string::npos) {
        throw StampError(std::string("value for --") + SlotName(slot) + " contains a zero byte");
    }
    if (block > image.size() || image.size() - block < kBlockSize) {
        throw StampError("the build settings block lies outside the image");
    }
    const std::size_t start = block + static_cast<std::size_t>(slot) * kSlotSize;
    image.replace(start, text.size(), text);
    image[start + text.size()] = '\0';
}

std::string SlotTextFor(int slot, const std::string& value, bool asGiven) {
    CheckValueSlot(slot);
    if (!IsDecodedSlot(slot) || value.empty() || !IsHexOnly(value)) {
        return value;
    }
    if (!asGiven) {
        if (value.size() * 2 >= kSlotSize) {
            throw StampError(std::string("value for --") + SlotName(slot) +
                             " is hex digits only and is stored hex-encoded; at most " +
                             std::to_string((kSlotSize - 1) / 2) + " such characters fit");
        }
        return HexEncode(value);
    }
    if (value.size() % 2 != 0) {
        throw StampError(std::string("value for --") + SlotName(slot) +
                         " is an odd number of hex digits, which the updater cannot decode");
    }
    return value;
}

}  // namespace Stamp
