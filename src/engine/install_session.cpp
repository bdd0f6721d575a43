#include "engine/install_session.h"

#include <shlobj.h>
#include <windows.h>

#include <memory>

#include "engine/build_settings.h"
#include "engine/document_file_turn.h"
#include "engine/files/document_programs.h"
#include "engine/files/file_kinds.h"
#include "engine/files/install_folders.h"
#include "engine/files/shortcuts.h"
#include "engine/installed_copy.h"
#include "engine/installed_records.h"
#include "engine/registry_settings.h"
#include "engine/release_guard.h"
#include "engine/resource_update.h"
#include "engine/running_product.h"
#include "engine/self_replacement.h"
#include "transfer/download_manager.h"
#include "transfer/transfer_paths.h"
#include "utils/file/file_utils.h"
#include "utils/reg/reg_manager.h"
#include "utils/run_reporter.h"
#include "utils/string/string_utils.h"

namespace Engine {
namespace {

constexpr DWORD kTempBufferSize = 512;
constexpr char kUpdaterClientPath[] = "fernwick.exe";
constexpr char kInstalledCopyFailedText[] =
    "Right click on the file and press 'Run as administrator'";
constexpr char kProductOpenText[] = "Can't update while the application is open";
constexpr char kBadDownloadIdText[] = "The download id of this build is invalid.";
constexpr int kProgressBar = 1007;
constexpr int kDownloadWorkers = 15;
// Another product's document normally arrives and loads well within this.
constexpr DWORD kDocumentTurnWaitMs = 3000;

using Utils::String::EqualsIgnoreCase;

std::string WrongContentsText() {
    return UpdateDocument::FailureText(UpdateDocument::LoadStatus::WrongContents);
}

std::string GetTempFolder() {
    char buffer[kTempBufferSize] = {};
    const DWORD length = ::GetTempPathA(kTempBufferSize, buffer);
    return length > 0 && length < kTempBufferSize ? std::string(buffer, length) : "";
}

class Session {
public:
    Session(DownloadManager& manager, const ObsoleteFileHandlers& obsolete)
        : m_manager(manager), m_settings(manager.GetSettings()), m_obsolete(obsolete) {}

    // The product is stopped before this updater copies itself: when the
    // product is named like the updater, the copy would replace its file.
    // Classification comes first so that a run with nothing to fetch leaves
    // a running product alone; a newer updater it hands over to copies itself.
    bool Run() {
        return PrepareNames() && FetchDocument() && LoadDocument() && ApplyDocumentValues() &&
               PrepareFolders() && ClassifyFiles() && StopProduct() && InstallUpdaterCopy() &&
               FetchFiles() && Finish();
    }

private:
    bool Fail(const std::string& text) {
        if (RunReporter* dialog = g_mainDialog) dialog->ReportError(text, kFatalSeverity);
        return false;
    }
    const Utils::RegManager* ProductKey() const { return Utils::g_productKeyManager; }
    bool WriteString(const std::string& name, const std::string& value) {
        return (ProductKey() && ProductKey()->SetStringValue(name, value, true)) ||
               Fail(kRegistryWriteFailedText);
    }
    void ShowStatus(const std::string& text) {
        if (RunReporter* dialog = g_mainDialog) dialog->SetStatusText(text);
    }
    UpdaterSource Updater() const { return {m_tempFolder, m_updaterFileName, m_downloadId}; }

    bool PrepareNames();
    bool FetchDocument();
    bool LoadDocument();
    bool AcceptReleaseNumber();
    bool ApplyDocumentValues();
    bool PrepareFolders();
    bool StopProduct();
    bool InstallUpdaterCopy();
    bool ClassifyFiles();
    bool FetchFiles();
    bool Finish();
    void CreateShortcuts();
    void RunResourceUpdateProgram();

    DownloadManager& m_manager;
    const BuildSettings& m_settings;
    const ObsoleteFileHandlers m_obsolete;
    std::unique_ptr<DocumentFileTurn> m_documentTurn;  // from the fetch to the loaded document
    std::string m_tempFolder, m_downloadId, m_documentFile, m_label;
    std::string m_updaterFileName, m_modulePath, m_moduleFolder;
    bool m_runsFromProgramFolder = false;
    bool m_firstInstall = true;
    bool m_productReplaced = false;
    std::vector<UpdateFileEntry> m_tools;
    std::vector<std::string> m_placedPaths;  // every file to fetch, tools included
};

bool Session::PrepareNames() {
    if (!ProductKey()) return Fail(kRegistryWriteFailedText);
    m_tempFolder = GetTempFolder();
    if (!DecodeSetting(m_settings.downloadId, m_downloadId)) return Fail(kBadDownloadIdText);
    m_documentTurn.reset(new DocumentFileTurn(m_tempFolder, m_settings.brand, kDocumentTurnWaitMs));
    m_documentFile = m_documentTurn->Path();
    m_modulePath = Utils::File::GetModulePath(false, false, false);
    m_moduleFolder = Utils::File::GetModulePath(false, false, true);
    m_label = RunLabel(m_moduleFolder, Utils::File::GetModulePath(true, true, false));
    m_updaterFileName = m_settings.brand + ".exe";
    return true;
}

bool Session::FetchDocument() {
    return m_manager.DownloadWithRetries(
        DownloadManager::kServiceFile, m_documentFile, m_settings.servicePath + m_downloadId,
        m_label, m_manager.GetServerHost(), false, DownloadManager::kDocumentIndex);
}

// A local document named in "Mode"\"xmlplace" replaces the fetched one; an
// updater with a document key checks the signature of whichever is loaded.
// The fetched copy goes before any report about the document: a fatal report
// ends the process, which left a refused document in the temporary folder.
bool Session::LoadDocument() {
    const std::string localDocument =
        ProductKey() ? ProductKey()->GetStringValue("xmlplace", "Mode") : "";
    const UpdateDocument::LoadStatus status = m_manager.GetDocument().Load(
        localDocument.empty() ? m_documentFile : localDocument, m_settings.documentKey);
    ::DeleteFileA(m_documentFile.c_str());
    m_documentTurn.reset();
    if (status != UpdateDocument::LoadStatus::Loaded)
        return Fail(UpdateDocument::FailureText(status));
    if (!AcceptReleaseNumber()) return false;
    m_manager.TakeDocumentValues();
    return true;
}

// Only a signed document has a download id and a release number that can be
// trusted; the signature check has already made sure that a number is there.
// Another download id's document (another product's, or another channel's,
// signed with the same key) would install that product here.
bool Session::AcceptReleaseNumber() {
    if (m_settings.documentKey.empty()) return true;
    const UpdateDocument& document = m_manager.GetDocument();
    if (!EqualsIgnoreCase(document.GetDownloadId(), m_downloadId)) return Fail(WrongContentsText());
    uint64_t release = 0;
    if (!document.GetReleaseNumber(release)) return Fail(WrongContentsText());
    switch (AcceptRelease(*ProductKey(), m_downloadId, release, m_settings.releaseFloor)) {
        case ReleaseCheck::Accepted:
            return true;
        case ReleaseCheck::Older:
            return Fail(WrongContentsText());
        case ReleaseCheck::WriteFailed:
            break;
    }
    return Fail(kRegistryWriteFailedText);
}

bool Session::ApplyDocumentValues() {
    if (!ProductKey() || !ApplyRegistrySettings(m_manager.GetDocument(), *ProductKey()))
        return Fail(kRegistryWriteFailedText);
    return WriteString("ExeName", m_manager.GetProductExeName());
}

// The data folder is prepared last: it stays the current folder, against
// which the download manager resolves the files' client paths.
bool Session::PrepareFolders() {
    m_manager.SetProgramFolder(PrepareInstallFolder(m_settings.brand, false));
    m_manager.SetDataFolder(PrepareInstallFolder(m_settings.brand, true));
    if (m_manager.GetProgramFolder().empty() || m_manager.GetDataFolder().empty())
        return Fail(kInstalledCopyFailedText);
    m_runsFromProgramFolder = EqualsIgnoreCase(m_moduleFolder, m_manager.GetProgramFolder() + "\\");
    return true;
}

// Only a run that fetches something replaces files that the product may hold
// open: a run with nothing to fetch leaves a running product alone, open or
// not, and goes on to start it.
bool Session::StopProduct() {
    if (m_placedPaths.empty()) return true;
    const bool sameName = EqualsIgnoreCase(m_updaterFileName, m_manager.GetProductExeName());
    const RunningProduct running =
        StopRunningProduct(sameName ? m_updaterFileName : m_manager.GetProductExeName(),
                           m_manager.GetInstalledProductPath());
    return running != RunningProduct::Open || Fail(kProductOpenText);
}

// The installed copy also removes the newer updater that an earlier run
// received into the temporary folder and handed over to.
bool Session::InstallUpdaterCopy() {
    if (m_runsFromProgramFolder) {
        RemoveTemporaryUpdater(Updater());
        return true;
    }
    const std::string destination = m_manager.GetProgramFolder() + "\\" + m_updaterFileName;
    if (!WriteString("DownloaderLocation", destination)) return false;
    if (!CopyThroughSideFile(m_modulePath, destination)) return Fail(kInstalledCopyFailedText);
    return RegisterUninstallEntry(m_settings.brand, destination) || Fail(kRegistryWriteFailedText);
}

bool Session::ClassifyFiles() {
    RunReporter* dialog = g_mainDialog;
    m_firstInstall = dialog == nullptr || dialog->IsFirstRun();
    if (dialog)
        dialog->SetWindowTitle(" " + m_settings.brand +
                               (m_firstInstall ? " Installation" : " update process"));
    const UpdateDocument& document = m_manager.GetDocument();
    const std::string generalTool = document.GetCompressFilePath();
    const std::string soundTool = document.GetCompressWavPath();
    const UpdaterSource updater = Updater();
    const InstalledRecords installed(*ProductKey());
    std::int64_t totalBytes = 0;
    for (const UpdateFileEntry& entry : document.GetFileEntries()) {
        const std::string& path = entry.clientRelativePath;
        if (EqualsIgnoreCase(path, kUpdaterClientPath)) {
            ReplaceUpdaterIfOutdated(
                m_manager,
                {entry.serverRelativePath, entry.checkSum, {entry.sha256, entry.servedSha256}},
                updater);
            continue;
        }
        if (installed.IsUpToDate(path, entry.checkSum)) continue;
        if (IsToolFile(path, generalTool) || IsToolFile(path, soundTool)) {
            m_tools.push_back(entry);
            m_manager.AddToolFile();
        } else {
            m_manager.AddFetchFile(entry);
        }
        m_placedPaths.push_back(path);
        totalBytes += entry.size;
        if (EqualsIgnoreCase(path, m_manager.GetProductExePath())) m_productReplaced = true;
    }
    m_manager.SetTotalBytes(totalBytes);
    return true;
}

// The decompressors come first, one at a time: the other files need them.
bool Session::FetchFiles() {
    RunReporter* dialog = g_mainDialog;
    const std::string skin = m_manager.GetDocument().GetSkinUrl();
    if (dialog && m_firstInstall && m_manager.GetQueuedCount() > 0 && !skin.empty())
        dialog->SetSkinUrl(skin);
    if (dialog) {
        dialog->ShowProgressBar(kProgressBar, 100);
        dialog->SetProgressPos(kProgressBar, m_manager.GetTotalBytes() == 0 ? 100 : 0);
    }
    m_manager.ForgetShownProgress();
    // A file that became a folder, or a folder that became a file, would
    // otherwise block its successor in every run: the sweep that removes it
    // comes only at the end of a run that succeeded.
    if (m_obsolete.clearWay && !m_placedPaths.empty())
        m_obsolete.clearWay(m_manager.GetDataFolder(), m_settings.brand,
                            m_manager.GetDocumentClientPaths(), m_placedPaths);
    for (std::size_t i = 0; i < m_tools.size(); ++i) {
        const UpdateFileEntry& tool = m_tools[i];
        if (m_manager.DownloadWithRetries(
                DownloadManager::kListedFile, tool.clientRelativePath, tool.serverRelativePath,
                tool.clientRelativePath, m_manager.GetFilesServer(), false,
                DownloadManager::kToolIndexBase + static_cast<int>(i),
                {tool.sha256, tool.servedSha256}))
            m_manager.RecordInstalled(tool.clientRelativePath, tool.checkSum);
    }
    m_manager.RunParallelDownloads(kDownloadWorkers);
    return true;
}

// The run that completes the first installation makes the shortcuts even from
// the program folder: a first run ended after its files had arrived leaves
// that to the installed copy. Later runs of the installed copy never make
// them, so that shortcuts the user deleted stay deleted. The first
// installation counts as done only once they are there.
bool Session::Finish() {
    if (!m_runsFromProgramFolder || m_firstInstall) CreateShortcuts();
    if (m_firstInstall && !(ProductKey() && ProductKey()->SetDwordValue("IsFirstTime", 1, true)))
        return Fail(kRegistryWriteFailedText);
    for (const std::string& path : m_manager.GetDocumentClientPaths()) InstallFont(path);
    RunResourceUpdateProgram();
    if (m_obsolete.sweep)
        m_obsolete.sweep(m_manager.GetDataFolder(), m_settings.brand,
                         m_manager.GetDocumentClientPaths());
    return true;
}

void Session::CreateShortcuts() {
    const std::string& brand = m_settings.brand;
    std::string icon = m_manager.GetDocument().GetUninstallIconPath();
    if (!icon.empty()) icon = m_manager.GetDataFolder() + "\\" + icon;
    const std::string target = m_manager.GetProgramFolder() + "\\" + m_updaterFileName;
    CreateShortcut(CSIDL_PROGRAMS, target, brand, "", brand, "");
    CreateShortcut(CSIDL_DESKTOP, target, brand, "", "", "");
    CreateShortcut(CSIDL_PROGRAMS, target, "Uninstall " + brand, icon, brand, "/uninstall");
}

// Not fatal in any way: a missing program or an over-long command line skips it.
void Session::RunResourceUpdateProgram() {
    const std::string value = m_manager.GetDocument().GetUpdateResourceExePath();
    if (!m_productReplaced || value.empty()) return;
    const std::string program =
        ResolveDocumentProgram(m_manager.GetDataFolder(), Transfer::CutAtExe(value));
    if (program.empty()) return;
    RunResourceUpdate(
        BuildResourceUpdateCommand(program, m_manager.GetInstalledProductPath(), m_modulePath));
}

}  // namespace

bool InstallSession(DownloadManager& manager, const ObsoleteFileHandlers& obsolete) {
    return Session(manager, obsolete).Run();
}

std::string RunLabel(const std::string& moduleFolder, const std::string& moduleBaseName) {
    return moduleFolder.find("\\" + moduleBaseName + "\\") != std::string::npos
               ? " Checking for software updates"
               : "Installation data";
}

bool IsToolFile(const std::string& clientPath, const std::string& toolValue) {
    if (toolValue.empty()) return false;
    return EqualsIgnoreCase(clientPath, toolValue) ||
           EqualsIgnoreCase(clientPath, DocumentProgramFile(Transfer::CutAtExe(toolValue)));
}

}  // namespace Engine
