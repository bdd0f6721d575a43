#include "app/installation_thread.h"

#include "engine/completion.h"
#include "transfer/download_manager.h"

namespace App {

int InstallationThread(void* downloadManager) {
    Engine::CompleteRun(*static_cast<DownloadManager*>(downloadManager), nullptr);
}

}  // namespace App
