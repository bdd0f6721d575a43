#include "engine/build_settings.h"

#include <memory>
#include <utility>

#include "engine/build_config_block.h"
#include "engine/public_key_block.h"
#include "engine/release_floor_block.h"
#include "utils/exception.h"
#include "utils/reg/reg_manager.h"

namespace Engine {

BuildSettings ReadBuildSettings() {
    BuildSettings settings;
    settings.downloadId = BuildConfig::GetDownloadId();
    settings.serverHost = BuildConfig::GetServerHost();
    settings.servicePath = BuildConfig::GetServicePath();
    settings.brand = BuildConfig::GetBrand();
    settings.updaterChecksum = BuildConfig::GetUpdaterChecksum();
    settings.documentKey = PublicKeyBlock::GetDocumentKey();
    settings.releaseFloor = ReleaseFloorBlock::GetReleaseFloor();
    return settings;
}

bool RecordBuildSettings(const Utils::RegManager& productKey, const BuildSettings& settings) {
    const std::pair<const char*, const std::string*> values[] = {
        {"GuiString", &settings.downloadId},
        {"DownloadServer", &settings.serverHost},
        {"DownloadServerFolder", &settings.servicePath},
        {"Brand", &settings.brand},
        {"DownloaderCRC", &settings.updaterChecksum},
    };
    for (const auto& value : values) {
        if (!productKey.SetStringValue(value.first, *value.second, true)) return false;
    }
    return true;
}

bool DecodeSetting(const std::string& text, std::string& decoded) {
    try {
        decoded = BuildConfig::DecodeSlotText(text);
        return true;
    } catch (Utils::Exception* error) {
        std::unique_ptr<Utils::Exception> owned(error);
        return false;
    }
}

}  // namespace Engine
