#pragma once
// Reading the build settings from this program's image, recording them in
// the product key and decoding the service host.
#include <string>

#include "transfer/build_settings.h"

namespace Utils {
class RegManager;
}

namespace Engine {

// The raw texts of slots 1 to 5 of this program's build configuration block,
// and the document key of its public key block.
BuildSettings ReadBuildSettings();

// Writes the five raw values into the product key itself, overwriting, in the
// order above, each only if the one before succeeded. False on the first failure.
bool RecordBuildSettings(const Utils::RegManager& productKey, const BuildSettings& settings);

// A slot text decoded (plain text or its hexadecimal encoding). False, with
// decoded untouched, when the text holds hexadecimal digits of odd length.
bool DecodeSetting(const std::string& text, std::string& decoded);

}  // namespace Engine
