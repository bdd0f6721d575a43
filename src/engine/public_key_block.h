#pragma once
// The key that update documents must be signed with, stamped into the
// finished executable by the stamping tool: a block of its own, found by its
// own marker, so that the build settings block keeps its layout.
//
//   offset 0:  the marker text, zero-filled to kKeyMarkerSize bytes
//   offset 64: 64 bytes X || Y of a P-256 public key; all zero: no key
#include <string>

namespace PublicKeyBlock {

constexpr int kKeyMarkerSize = 64;
constexpr int kKeySize = 64;
constexpr int kBlockSize = kKeyMarkerSize + kKeySize;
// The stamping tool finds the block by this text. Program code must not use
// it at run time: a second copy of the text in the image makes the tool refuse.
constexpr char kKeyMarker[] = "~####  NIMBRA DOCUMENT KEY (P-256 X||Y FOLLOWS)  ####~";

// The stamped key (64 bytes), or "" when the block holds zeros only.
std::string GetDocumentKey();

// The key stamped into another updater image (its bytes), as GetDocumentKey
// reads this one's: "" when the image has no key block or no key in it.
std::string KeyOfImage(const std::string& image);

}  // namespace PublicKeyBlock
