#include "engine/release_floor_block.h"

#include <string>

#include "document/document_values.h"
#include "engine/block_marker.h"

namespace ReleaseFloorBlock {
namespace {

struct Block {
    char marker[kFloorMarkerSize];
    char floor[kFloorTextSize];
};
static_assert(sizeof(Block) == kBlockSize, "the floor must follow the marker directly");

// Written out here rather than copied from kFloorMarker so that the image
// holds the marker text exactly once, inside the block.
#define NIMBRA_FLOOR_MARKER "~####  NIMBRA RELEASE FLOOR (DECIMAL FOLLOWS)  ####~"
static_assert(BlockMarker::SameText(NIMBRA_FLOOR_MARKER, kFloorMarker),
              "marker text differs from the header");

// Shipped without a floor; volatile and in initialised data, as the other
// stamped blocks, so that the stamped text is what the program reads.
__attribute__((used, aligned(16))) volatile Block g_releaseFloorBlock = {NIMBRA_FLOOR_MARKER, {}};
#undef NIMBRA_FLOOR_MARKER

}  // namespace

uint64_t GetReleaseFloor() {
    std::string text;
    for (int i = 0; i < kFloorTextSize && g_releaseFloorBlock.floor[i] != '\0'; ++i)
        text.push_back(g_releaseFloorBlock.floor[i]);
    uint64_t floor = 0;
    if (!DocumentValues::ParseReleaseNumber(text, floor)) return 0;
    return floor;
}

}  // namespace ReleaseFloorBlock
