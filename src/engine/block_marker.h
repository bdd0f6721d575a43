#pragma once
// Compile-time comparison of a stamped block's marker, written out where the
// block is defined, with the text that the stamping tool searches for.

namespace BlockMarker {

constexpr bool SameText(const char* a, const char* b) {
    return *a == *b && (*a == '\0' || SameText(a + 1, b + 1));
}

}  // namespace BlockMarker
