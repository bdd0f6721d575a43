#pragma once
// Builds fake executable images around a build settings block for the
// stamping tests: filler bytes, the marker slot, five value slots, filler.
#include <cstddef>
#include <string>

#include "engine/build_config_block.h"

namespace StampTest {

constexpr std::size_t kSlot = BuildConfig::kSlotSize;
constexpr std::size_t kBlock = kSlot * BuildConfig::kSlotCount;

// Non-zero bytes that never form the marker, so damage outside a slot shows.
inline std::string Filler(std::size_t size, char seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(1 + (seed + i * 7) % 250);
    }
    return bytes;
}

// The marker slot: marker text, then zero fill.
inline std::string MarkerSlot() {
    std::string slot(BuildConfig::kMarker);
    slot.resize(kSlot, '\0');
    return slot;
}

// A block whose value slots hold "value<n>" then filler after the terminator.
inline std::string Block() {
    std::string block = MarkerSlot();
    for (int slot = 1; slot < BuildConfig::kSlotCount; ++slot) {
        std::string text = "value" + std::to_string(slot);
        text.push_back('\0');
        block += text + Filler(kSlot - text.size(), static_cast<char>(slot));
    }
    return block;
}

inline std::string Image(std::size_t before = 1000, std::size_t after = 700) {
    return Filler(before, 'a') + Block() + Filler(after, 'z');
}

}  // namespace StampTest
