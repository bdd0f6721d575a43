#pragma once
// TEMPORARY stand-in until the registry values land.
#include "document/update_document.h"
#include "utils/reg/reg_manager.h"
namespace Engine {
bool ApplyRegistrySettings(const UpdateDocument& document, const Utils::RegManager& productKey);
}
