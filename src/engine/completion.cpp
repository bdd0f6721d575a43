#include "engine/completion.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "transfer/download_manager.h"
#include "utils/exception.h"
#include "utils/file/file_utils.h"
#include "utils/reg/reg_manager.h"
#include "utils/run_reporter.h"

namespace Engine {
namespace {

constexpr char kUpdateFailedText[] = "Update failed, please try again later.";
constexpr char kFinishedText[] = "Finished updating successfully";
constexpr INT_PTR kShellStartFailedLimit = 32;

// An exception that escaped the session ends the run as a failed update
// instead of leaving the dialog waiting for a worker that is gone.
bool RunSession(DownloadManager& manager, const ObsoleteFileHandlers& obsolete) {
    try {
        return InstallSession(manager, obsolete);
    } catch (Utils::Exception* error) {
        delete error;
    } catch (...) {
    }
    return false;
}

bool StartProduct(const DownloadManager& manager) {
    const std::string path = manager.GetInstalledProductPath();
    if (!IsStartableProduct(manager.GetProductExeName(), path)) return false;
    std::string folder = manager.GetDataFolder();
    if (!manager.GetProductExeFolder().empty()) folder += "\\" + manager.GetProductExeFolder();
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL));
    return result > kShellStartFailedLimit;
}

}  // namespace

bool IsStartableProduct(const std::string& productExeName, const std::string& productPath) {
    return !productExeName.empty() && productPath.size() <= kMaxProductPath &&
           Utils::File::IsFile(productPath);
}

void CompleteRun(DownloadManager& manager, const ObsoleteFileHandlers& obsolete) {
    RunReporter* dialog = g_mainDialog;
    if (!RunSession(manager, obsolete)) {
        if (dialog) dialog->ReportError(kUpdateFailedText, kFatalSeverity);
        ::ExitProcess(1);
    }
    if (dialog) dialog->SetStatusText(kFinishedText);
    if (!StartProduct(manager) && Utils::g_productKeyManager)
        Utils::g_productKeyManager->DeleteValue("Installed");
    ::ExitProcess(0);
}

}  // namespace Engine
