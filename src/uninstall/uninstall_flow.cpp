#include "uninstall/uninstall_flow.h"

#include <shlobj.h>

#include <vector>

#include "engine/files/install_folders.h"
#include "engine/installed_records.h"
#include "engine/running_product.h"
#include "uninstall/uninstall_rules.h"
#include "utils/file/file_utils.h"
#include "utils/os/os_info.h"
#include "utils/reg/reg_manager.h"
#include "utils/run_reporter.h"

namespace Uninstall {
namespace {

constexpr DWORD kStepPauseMs = 400;
constexpr char kUninstallListKey[] = "Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string BrandFolder(int csidl, const std::string& brand) {
    return Engine::GetSpecialFolderPath(csidl) + "\\" + brand;
}

// The product runs from its data folder, which is the program folder except
// on Windows Vista, where it lies under the local application data.
bool IsInstalledProductRunning(const Utils::RegManager& productKey, const std::string& brand) {
    const std::string exeName = productKey.GetStringValue("ExeName");
    const std::vector<std::string> paths = ProductImagePaths(
        exeName, {BrandFolder(CSIDL_PROGRAM_FILES, brand), BrandFolder(CSIDL_LOCAL_APPDATA, brand)},
        Engine::InstalledRecords(productKey).ClientPaths());
    if (paths.empty()) return false;
    std::vector<DWORD> candidates;
    Utils::OS::FindProcesses(candidates, exeName);
    return IsProductRunning(candidates, ::GetCurrentProcessId(), paths,
                            &Engine::GetProcessImagePath);
}

void RemoveRegistryEntries(const std::string& brand) {
    // Deleted from Software by name: a manager never deletes its own whole key.
    Utils::RegManager(true, "").DeleteValue(brand);
    Utils::RegManager(false, kUninstallListKey).DeleteValue(brand);
}

void RemoveFoldersAndShortcut(const std::string& brand) {
    Utils::File::DeleteTree(BrandFolder(CSIDL_COMMON_PROGRAMS, brand));
    Utils::File::DeleteTree(BrandFolder(CSIDL_STARTMENU, brand));
    const std::string localData = BrandFolder(CSIDL_LOCAL_APPDATA, brand);
    if (Utils::File::IsDirectory(localData)) Utils::File::DeleteTree(localData);
    Utils::File::DeleteTree(BrandFolder(CSIDL_PROGRAMS, brand));
    Utils::File::DeleteTree(BrandFolder(CSIDL_PROGRAM_FILES, brand));
    Utils::File::Delete(BrandFolder(CSIDL_DESKTOP, brand) + ".lnk");
}

}  // namespace

void RunUninstallFlow(RunReporter& dialog, const std::string& brand, const ProcessEnd& endProcess) {
    ::Sleep(kStepPauseMs);
    // A brand that is not one folder name would make every path below point
    // somewhere else than the product's own folders.
    if (!Engine::IsSingleFolderName(brand)) {
        dialog.ReportError("Failed to uninstall", kFatalSeverity);
        return;
    }
    Utils::g_productKeyManager = new Utils::RegManager(true, brand);  // shared, never freed
    if (IsInstalledProductRunning(*Utils::g_productKeyManager, brand)) {
        dialog.ReportError("Please close the application before uninstalling it", kFatalSeverity);
        return;
    }
    HWND window = dialog.GetDialogWindow();
    if (::MessageBoxA(window, FormatUninstallQuestion(brand).c_str(), "Uninstall", MB_YESNO) !=
        IDYES) {
        endProcess(0);
        return;
    }
    ::Sleep(kStepPauseMs);
    RemoveRegistryEntries(brand);
    ::Sleep(kStepPauseMs);
    RemoveFoldersAndShortcut(brand);
    ::Sleep(kStepPauseMs);
    ::ShowWindow(window, SW_HIDE);
    const std::string done = brand + " has been successfully uninstalled ";
    ::MessageBoxA(window, done.c_str(), "Downloader", MB_OK);
    endProcess(0);
}

}  // namespace Uninstall
