#pragma once
// The five build settings as the dialog uses them: raw slot texts.
#include <string>

namespace Utils {
class RegManager;
}

namespace App {

struct BuildSettings {
    std::string downloadId;       // "GuiString"
    std::string serverHost;       // "DownloadServer"
    std::string servicePath;      // "DownloadServerFolder"
    std::string brand;            // "Brand"; also names the product key
    std::string updaterChecksum;  // "DownloaderCRC"
};

// The raw texts of slots 1 to 5 of this program's build configuration block.
BuildSettings ReadBuildSettings();

// Writes the five raw values into the product key itself, overwriting, in the
// order above, each only if the one before succeeded. False on the first failure.
bool RecordBuildSettings(const Utils::RegManager& productKey, const BuildSettings& settings);

// The server host slot decoded (plain text or its hexadecimal encoding).
// False, with host untouched, when the slot holds hexadecimal digits of odd length.
bool DecodeServerHost(const BuildSettings& settings, std::string& host);

}  // namespace App
