#pragma once
// The five build settings of this updater, as the raw texts of slots 1 to 5
// of the image's build configuration block. The dialog reads them once and
// the download manager carries them through the run.
#include <string>

struct BuildSettings {
    std::string downloadId;       // "GuiString"; hex-encoded or plain
    std::string serverHost;       // "DownloadServer"; hex-encoded or plain
    std::string servicePath;      // "DownloadServerFolder"
    std::string brand;            // "Brand"; also names the product key
    std::string updaterChecksum;  // "DownloaderCRC"
};
