#include "app/installation_launcher.h"

#include "app/main_dialog_operations.h"
#include "utils/mt/threads.h"
#include "utils/unique_handle.h"

namespace App {
namespace {

int RunInstallationWorker(void*) {
    if (g_mainDialog != nullptr)
        g_mainDialog->SetStatusText("Installing is not available in this build.");
    return 0;
}

}  // namespace

bool InstallationLauncher::Start(const std::string& host) {
    m_host = host;
    Utils::UniqueKernelHandle worker(Utils::MT::StartThread(&RunInstallationWorker, this));
    return worker.IsValid();
}

}  // namespace App
