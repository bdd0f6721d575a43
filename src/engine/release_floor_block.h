#pragma once
// The lowest release number that this updater accepts in a signed update
// document, stamped into the finished executable: a block of its own, found
// by its own marker, beside the build settings and the document key.
//
//   offset 0:  the marker text, zero-filled to kFloorMarkerSize bytes
//   offset 64: the number as decimal digits, zero-terminated; empty or 0: no floor
//
// A copy handed out for first installations carries the release current when
// it was stamped, so an older signed release cannot be installed with it on a
// machine that has no record of a newer one (a new machine, or after an
// uninstall removed the record).
#include <cstdint>

namespace ReleaseFloorBlock {

constexpr int kFloorMarkerSize = 64;
constexpr int kFloorTextSize = 32;
constexpr int kBlockSize = kFloorMarkerSize + kFloorTextSize;
// The stamping tool finds the block by this text. Program code must not use
// it at run time: a second copy of the text in the image makes the tool refuse.
constexpr char kFloorMarker[] = "~####  NIMBRA RELEASE FLOOR (DECIMAL FOLLOWS)  ####~";

// The stamped floor; 0 when none is stamped or the text is not a number.
uint64_t GetReleaseFloor();

}  // namespace ReleaseFloorBlock
