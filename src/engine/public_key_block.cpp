#include "engine/public_key_block.h"

namespace PublicKeyBlock {
namespace {

struct Block {
    char marker[kKeyMarkerSize];
    unsigned char key[kKeySize];
};
static_assert(sizeof(Block) == kBlockSize, "the key must follow the marker directly");

constexpr bool SameText(const char* a, const char* b) {
    return *a == *b && (*a == '\0' || SameText(a + 1, b + 1));
}

// Written out here rather than copied from kKeyMarker so that the image holds
// the marker text exactly once, inside the block.
#define NIMBRA_KEY_MARKER "~####  NIMBRA DOCUMENT KEY (P-256 X||Y FOLLOWS)  ####~"
static_assert(SameText(NIMBRA_KEY_MARKER, kKeyMarker), "marker text differs from the header");

// Shipped without a key. Mutable and volatile for the same reasons as the
// build settings block: it must land in initialised data and be read from
// the image every time.
__attribute__((used, aligned(16))) volatile Block g_publicKeyBlock = {NIMBRA_KEY_MARKER, {}};
#undef NIMBRA_KEY_MARKER

}  // namespace

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
