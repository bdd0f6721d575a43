#include "engine/registry_settings.h"
namespace Engine {
bool ApplyRegistrySettings(const UpdateDocument&, const Utils::RegManager&) { return true; }
}
