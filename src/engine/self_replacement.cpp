#include "engine/self_replacement.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "engine/program_image.h"
#include "transfer/download_manager.h"
#include "utils/run_reporter.h"
#include "utils/string/string_utils.h"

namespace Engine {
namespace {

// The dash is byte 0x96, an en dash in the Western code page.
constexpr char kNotSyncedText[] =
    " Updater is not synced \x96 please download from the website again.";
constexpr char kRestartingText[] = "Updating the updater, will restart in a few seconds.";
constexpr char kRestartDelayArgument[] = "4000";
constexpr DWORD kPauseBeforeRestartMs = 2000;
constexpr INT_PTR kAccessDenied = 5;

INT_PTR StartUpdater(const char* verb, const std::string& path) {
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(
        nullptr, verb, path.c_str(), kRestartDelayArgument, nullptr, SW_SHOWNORMAL));
}

}  // namespace

std::string TemporaryUpdaterPath(const UpdaterSource& source) {
    return source.tempFolder + "\\Install" + source.updaterFileName;
}

void RemoveTemporaryUpdater(const UpdaterSource& source) {
    ::DeleteFileA(TemporaryUpdaterPath(source).c_str());
}

void ReplaceUpdaterIfOutdated(DownloadManager& manager, const UpdaterEntry& entry,
                              const UpdaterSource& source) {
    if (Utils::String::EqualsIgnoreCase(manager.GetSettings().updaterChecksum, entry.checkSum))
        return;
    const std::string path = TemporaryUpdaterPath(source);
    RunReporter* dialog = g_mainDialog;
    const bool fetched = manager.DownloadOneFile(
        DownloadManager::kServiceFile, 0, path, entry.serverPath + source.downloadId, "",
        manager.GetServerHost(), false, DownloadManager::kUpdaterIndex, entry.hashes);
    // A page answered in place of the program (a service's error page, a
    // network's log-in page) could not be started: this run would end
    // without installing anything, and so would every later one. An updater
    // that checks signatures never hands over to one that checks none: an
    // old signed document listing such a build would switch the checks off.
    const bool keyed = !manager.GetSettings().documentKey.empty();
    if (!fetched || !IsProgramImageFile(path) || (keyed && !CarriesDocumentKey(path))) {
        if (fetched) ::DeleteFileA(path.c_str());
        ::MessageBoxA(dialog ? dialog->GetDialogWindow() : nullptr, kNotSyncedText, "", MB_OK);
        return;
    }
    if (dialog) dialog->SetStatusText(kRestartingText);
    ::Sleep(kPauseBeforeRestartMs);
    if (StartUpdater("open", path) == kAccessDenied) StartUpdater("runas", path);
    ::ExitProcess(0);
}

}  // namespace Engine
