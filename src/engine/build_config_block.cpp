#include "engine/build_config_block.h"

#include "engine/block_marker.h"
#include "utils/string/string_utils.h"

namespace BuildConfig {
namespace {

// The whole block is one object so that the compiler and linker keep its six
// slots together and in order; the stamping tool relies on that layout.
struct Block {
    char slots[kSlotCount][kSlotSize];
};
static_assert(sizeof(Block) == kSlotCount * kSlotSize, "slots must be contiguous");

// Written out here rather than copied from kMarker so that the image holds the
// marker text exactly once, inside the block.
#define NIMBRA_BUILD_MARKER "~############  THE BEST DOWNLOADER EVER  ############~"
static_assert(BlockMarker::SameText(NIMBRA_BUILD_MARKER, kMarker),
              "marker text differs from the header");

// Shipped defaults. The host is a reserved name that never resolves; every
// distribution is stamped with its own values after linking. The program never
// writes to this object: it is mutable data only so that it lands in the
// initialised data section, and volatile so that every read goes to the image.
__attribute__((used, aligned(16))) volatile Block g_buildConfigBlock = {{
    NIMBRA_BUILD_MARKER,
    "3f2a9c4e-7b1d-4e8a-9c55-0d6e2b7f41a3",
    "updates.nimbra.invalid",
    "/DownloadService.svc/GetUpdateXML?did=",
    "Nimbra",
    "5E0C7A91D2B84F36A1C9E07D3B6F2A48",
}};
#undef NIMBRA_BUILD_MARKER

// Copies a slot's text up to its first zero byte. A slot without a terminator
// (a damaged image) is cut at the slot's end instead of running into the next.
std::string ReadSlot(int index) {
    const volatile char* slot = g_buildConfigBlock.slots[index];
    std::string text;
    for (int i = 0; i < kSlotSize && slot[i] != '\0'; ++i) {
        text.push_back(slot[i]);
    }
    return text;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string GetDownloadId() { return ReadSlot(1); }
std::string GetServerHost() { return ReadSlot(2); }
std::string GetServicePath() { return ReadSlot(3); }
std::string GetBrand() { return ReadSlot(4); }
std::string GetUpdaterChecksum() { return ReadSlot(5); }

std::string DecodeSlotText(const std::string& text) {
    for (char c : text) {
        if (!IsHexDigit(c)) {
            return text;
        }
    }
    std::string decoded;
    Utils::String::HexDecode(text, decoded);
    return decoded;
}

}  // namespace BuildConfig
