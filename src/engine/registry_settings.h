#pragma once
// The registry values that the update document carries: each "Registry"
// element of the "UpdateRegistry" group names a subkey path below the product
// key, a value name, the text to store and whether an existing value may be
// replaced.
#include "document/update_document.h"
#include "utils/reg/reg_manager.h"

namespace Engine {

// Writes every listed value, in document order, as a string value in subkey
// "Path" of the product key (missing levels are created). An existing value is
// replaced only when "IsOverride" is exactly "true"; one kept because replacing
// was not allowed counts as written. An absent attribute reads as empty text.
// Returns false at the first value that could not be written, without writing
// any later one; the caller reports the failure. Worker thread; the document
// must be loaded.
bool ApplyRegistrySettings(const UpdateDocument& document, const Utils::RegManager& productKey);

}  // namespace Engine
