#pragma once
// The five build settings of this updater, as the raw texts of slots 1 to 5
// of the image's build configuration block, and the key that update
// documents must be signed with (a block of its own). The dialog reads them
// once and the download manager carries them through the run.
#include <cstdint>
#include <string>

struct BuildSettings {
    std::string downloadId;       // "GuiString"; hex-encoded or plain
    std::string serverHost;       // "DownloadServer"; hex-encoded or plain
    std::string servicePath;      // "DownloadServerFolder"
    std::string brand;            // "Brand"; also names the product key
    std::string updaterChecksum;  // "DownloaderCRC"
    // P-256 public key, 64 bytes X || Y; empty when the image carries none
    // (documents are then neither checked nor refused for a signature).
    std::string documentKey;
    // The lowest release number accepted in a signed document, whatever the
    // product key records (a block of its own); 0 for none.
    uint64_t releaseFloor = 0;
};
