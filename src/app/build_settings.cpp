#include "app/build_settings.h"

#include <memory>
#include <utility>

#include "engine/build_config_block.h"
#include "utils/exception.h"
#include "utils/reg/reg_manager.h"

namespace App {

BuildSettings ReadBuildSettings() {
    BuildSettings settings;
    settings.downloadId = BuildConfig::GetDownloadId();
    settings.serverHost = BuildConfig::GetServerHost();
    settings.servicePath = BuildConfig::GetServicePath();
    settings.brand = BuildConfig::GetBrand();
    settings.updaterChecksum = BuildConfig::GetUpdaterChecksum();
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

bool DecodeServerHost(const BuildSettings& settings, std::string& host) {
    try {
        host = BuildConfig::DecodeSlotText(settings.serverHost);
        return true;
    } catch (Utils::Exception* error) {
        std::unique_ptr<Utils::Exception> owned(error);
        return false;
    }
}

}  // namespace App
