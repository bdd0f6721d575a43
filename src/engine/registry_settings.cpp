#include "engine/registry_settings.h"

#include <cstddef>
#include <string>

namespace Engine {
namespace {

constexpr char kGroup[] = "UpdateRegistry";
constexpr char kElement[] = "Registry";

}  // namespace

bool ApplyRegistrySettings(const UpdateDocument& document, const Utils::RegManager& productKey) {
    // The four lists have one entry per element, so entry i of each belongs
    // to the i-th element; an attribute an element lacks reads as "".
    const UpdateDocument::StringList paths = document.GetAttributeList("Path", kElement, kGroup);
    const UpdateDocument::StringList names = document.GetAttributeList("Key", kElement, kGroup);
    const UpdateDocument::StringList values = document.GetAttributeList("Value", kElement, kGroup);
    const UpdateDocument::StringList overrides =
        document.GetAttributeList("IsOverride", kElement, kGroup);

    for (std::size_t i = 0; i < paths.size(); ++i) {
        const bool overwrite = overrides[i] == "true";
        // A value kept because its entry does not allow replacing is already
        // in place: stopping the run for it would stop every later run too.
        if (productKey.WriteStringValue(names[i], values[i], overwrite, paths[i]) ==
            Utils::RegManager::StringWrite::Failed)
            return false;
    }
    return true;
}

}  // namespace Engine
