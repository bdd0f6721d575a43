#pragma once
// Finding the build settings block in an executable image and reading or
// writing its text slots. Works on the image held in memory; nothing here
// touches a file.
#include <cstddef>
#include <stdexcept>
#include <string>

namespace Stamp {

// Every refusal of the tool: the message says what is wrong.
class StampError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Value slots 1..5; slot 0 holds the marker and is never written.
constexpr int kFirstValueSlot = 1;
constexpr int kLastValueSlot = 5;
constexpr int kDownloadIdSlot = 1;
constexpr int kServerHostSlot = 2;

// The option name of a value slot ("download-id", "host", ...).
const char* SlotName(int slot);

// Offset of the block's first byte (the marker). Throws StampError when the
// image holds no marker, more than one, or a block cut short by the image's end.
std::size_t FindBlock(const std::string& image);

// The slot's text up to its first zero byte (or the slot's end).
std::string ReadSlotText(const std::string& image, std::size_t block, int slot);

// Writes text and one zero byte at the slot's start and leaves the rest of the
// slot as it was. Throws StampError, with the image unchanged, for a slot
// outside 1..5, a text of 512 characters or more, or a text with a zero byte.
void WriteSlotText(std::string& image, std::size_t block, int slot, const std::string& text);

// The slot text that makes the updater use exactly `value`. The updater
// hex-decodes a download id or host made only of hex digits, so such a value
// is stored hex-encoded; every other value is stored as it is. With
// `asGiven`, the value is stored unchanged, but a hex-only download id or host
// of odd length is refused because the updater cannot decode it.
std::string SlotTextFor(int slot, const std::string& value, bool asGiven);

}  // namespace Stamp
