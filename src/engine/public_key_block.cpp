#include "engine/public_key_block.h"

#include "engine/block_marker.h"

namespace PublicKeyBlock {
namespace {

struct Block {
    char marker[kKeyMarkerSize];
    unsigned char key[kKeySize];
};
static_assert(sizeof(Block) == kBlockSize, "the key must follow the marker directly");

// Written out here rather than copied from kKeyMarker so that the image holds
// the marker text exactly once, inside the block.
#define NIMBRA_KEY_MARKER "~####  NIMBRA DOCUMENT KEY (P-256 X||Y FOLLOWS)  ####~"
static_assert(BlockMarker::SameText(NIMBRA_KEY_MARKER, kKeyMarker),
              "marker text differs from the header");

// Shipped without a key. Mutable and volatile for the same reasons as the
// build settings block: it must land in initialised data and be read from
// the image every time.
__attribute__((used, aligned(16))) volatile Block g_publicKeyBlock = {NIMBRA_KEY_MARKER, {}};
#undef NIMBRA_KEY_MARKER

}  // namespace

std::string KeyOfImage(const std::string& image) {
    // The marker is taken from this image's own block: written in the code,
    // the text would appear twice in the image and the stamping tool refuse it.
    std::string marker;
    for (int i = 0; i < kKeyMarkerSize; ++i) marker.push_back(g_publicKeyBlock.marker[i]);
    const std::size_t block = image.find(marker);
    if (block == std::string::npos || image.size() - block < static_cast<std::size_t>(kBlockSize))
        return std::string();
    const std::string key = image.substr(block + kKeyMarkerSize, kKeySize);
    return key.find_first_not_of('\0') == std::string::npos ? std::string() : key;
}

std::string GetDocumentKey() {
    std::string key;
    bool any = false;
    for (int i = 0; i < kKeySize; ++i) {
        const char byte = static_cast<char>(g_publicKeyBlock.key[i]);
        key.push_back(byte);
        any = any || byte != 0;
    }
    return any ? key : std::string();
}

}  // namespace PublicKeyBlock
