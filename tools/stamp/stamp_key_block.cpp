#include "stamp_key_block.h"

#include "engine/public_key_block.h"
#include "marked_block.h"
#include "stamp_image.h"

namespace Stamp {
namespace {

constexpr std::size_t kKeyOffset = PublicKeyBlock::kKeyMarkerSize;
constexpr std::size_t kKeySize = PublicKeyBlock::kKeySize;

}  // namespace

std::size_t FindKeyBlock(const std::string& image) {
    return FindMarkedBlock(image, PublicKeyBlock::kKeyMarker, PublicKeyBlock::kBlockSize,
                           "document key");
}

std::string ReadKey(const std::string& image, std::size_t block) {
    const std::string key = image.substr(block + kKeyOffset, kKeySize);
    return key.find_first_not_of('\0') == std::string::npos ? std::string() : key;
}

void WriteKey(std::string& image, std::size_t block, const std::string& key) {
    if (!key.empty() && key.size() != kKeySize)
        throw StampError("a document key is " + std::to_string(kKeySize) + " bytes");
    image.replace(block + kKeyOffset, kKeySize, key.empty() ? std::string(kKeySize, '\0') : key);
}

std::string KeyLine(const std::string& key) {
    if (key.empty()) return "public-key=none";
    static const char kDigits[] = "0123456789abcdef";
    std::string line = "public-key=";
    for (unsigned char c : key) {
        line.push_back(kDigits[c >> 4]);
        line.push_back(kDigits[c & 0x0F]);
    }
    return line;
}

}  // namespace Stamp
