#include "app/installation_thread.h"

#include "engine/completion.h"
#include "transfer/download_manager.h"
#include "uninstall/obsolete_file_sweep.h"

namespace App {
namespace {

// The session reaches the sweep, one layer above it, through these.
void SweepDataFolder(const std::string& dataFolder, const std::string& brand,
                     const std::vector<std::string>& keptPaths) {
    Uninstall::SweepObsoleteFiles(dataFolder, brand, keptPaths, "");
}

}  // namespace

int InstallationThread(void* downloadManager) {
    Engine::ObsoleteFileHandlers obsolete;
    obsolete.clearWay = &Uninstall::ClearWayForListedFiles;
    obsolete.sweep = &SweepDataFolder;
    Engine::CompleteRun(*static_cast<DownloadManager*>(downloadManager), obsolete);
}

}  // namespace App
