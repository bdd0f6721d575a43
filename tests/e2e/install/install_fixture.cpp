#include "install_fixture.h"

#include <shlobj.h>

#include <algorithm>
#include <filesystem>

#include "support/shell_link.h"
#include "support/window_driver.h"
#include "utils/unique_handle.h"

namespace InstallE2E {
namespace {

constexpr DWORD kRunTimeoutMs = 60000;
constexpr DWORD kProductStartTimeoutMs = 10000;
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string Lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    return text;
}

void RemoveTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void DeleteRegistryTree(HKEY root, const std::string& path) {
    ::RegDeleteTreeA(root, path.c_str());
    ::RegDeleteKeyA(root, path.c_str());
}

// The Windows folder of a CSIDL number, without a trailing backslash.
std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

// "" when absent.
std::string ReadRegistryString(HKEY root, const std::string& key, const std::string& name) {
    char data[2048] = {};
    DWORD size = sizeof(data);
    if (::RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return "";
    return data;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

std::string TemporaryFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return temp;
}

void InstallRunTest::SetUp() {
    m_brand = TestSupport::UniqueName("NimbraRun");
    m_programFolder = ShellFolder(CSIDL_PROGRAM_FILES) + "\\" + m_brand;
    m_exe = m_folder / (TestSupport::UniqueName("Setup") + ".exe");
    ASSERT_FALSE(TestSupport::GetBuildFolder().empty()) << "PROJECT_BUILD_DIR is not set";
    ASSERT_TRUE(m_server.Start());
    ASSERT_TRUE(StampUpdater(m_server.Host()));
}

bool InstallRunTest::StampUpdater(const std::string& host) const {
    TestSupport::UpdaterStamp stamp;
    stamp.brand = m_brand;
    stamp.host = host;
    stamp.servicePath = kServicePath;
    stamp.downloadId = kDownloadId;
    stamp.checksum = kUpdaterCheckSum;
    return TestSupport::MakeStampedUpdater(m_exe, stamp);
}

void InstallRunTest::TearDown() {
    m_runs.clear();
    RemoveInstallation();
}

void InstallRunTest::RemoveInstallation() {
    if (m_brand.empty()) return;  // never the whole program files folder
    const std::string newerUpdater = TemporaryFolder() + "Install" + m_brand + ".exe";
    const std::string uninstallCopy = TemporaryFolder() + "UnInstall" + m_brand + ".exe";
    EndProcessesUnder(
        {m_folder.Path() + "\\", m_programFolder + "\\", newerUpdater, uninstallCopy});
    TestSupport::DeleteProductKey(m_brand);
    RemoveUninstallEntry();
    RemoveTree(m_programFolder);
    RemoveTree(ShellFolder(CSIDL_PROGRAMS) + "\\" + m_brand);
    ::DeleteFileA(ShortcutPath(CSIDL_DESKTOPDIRECTORY, m_brand + ".lnk").c_str());
    ::DeleteFileA(newerUpdater.c_str());
    ::DeleteFileA(uninstallCopy.c_str());
}

TestSupport::UpdateDocumentBuilder InstallRunTest::NewDocument() const {
    TestSupport::UpdateDocumentBuilder document;
    document.Root("ProductExePath", kProductExePath).Root("FilesServer", m_server.Host());
    return document;
}

void InstallRunTest::Publish(TestSupport::UpdateDocumentBuilder& document,
                             const ProductFile& file) {
    m_server.Serve(file.ServerPath(), file.Served());
    document.AddFile({file.ServerPath(), file.clientPath, file.CheckSum(),
                      static_cast<int64_t>(file.Served().size()), file.compressed});
}

void InstallRunTest::ServeDocument(const TestSupport::UpdateDocumentBuilder& document) {
    m_server.Serve(DocumentTarget(), document.Build(), 200, "text/xml");
}

std::string InstallRunTest::DocumentTarget() { return std::string(kServicePath) + kDownloadId; }

ProductFile InstallRunTest::SampleProduct(const std::string& clientPath) {
    return BuiltFile(clientPath, SAMPLE_PRODUCT_EXE);
}

ProductFile InstallRunTest::BuiltFile(const std::string& clientPath, const char* linuxPath) {
    return PlainFile(clientPath, TestSupport::ReadFile(BuiltProgram(linuxPath)));
}

RunOutcome InstallRunTest::RunUpdater(const std::string& exe) {
    m_runs.push_back(std::make_unique<TestSupport::ChildProcess>());
    TestSupport::ChildProcess& updater = *m_runs.back();
    if (!updater.Start(exe.empty() ? m_exe : exe, "")) {
        ADD_FAILURE() << "cannot start " << (exe.empty() ? m_exe : exe);
        return {TestSupport::ChildProcess::kKilled, {}, {}, {}};
    }
    return WatchRun(updater.Handle(), updater.Id(), kRunTimeoutMs);
}

DWORD InstallRunTest::StartUninstall() {
    const std::string copyName = "UnInstall" + m_brand + ".exe";
    // The launcher stays in m_runs: ending it ends the copy it started.
    m_runs.push_back(std::make_unique<TestSupport::ChildProcess>());
    DWORD copyId = 0;
    if (!m_runs.back()->Start(InstalledCopy(), "/uninstall") ||
        !TestSupport::WaitUntil(
            [&] { return (copyId = TestSupport::FindProcessByName(copyName)) != 0; },
            kProductStartTimeoutMs))
        ADD_FAILURE() << "no uninstalling copy of " << InstalledCopy();
    return copyId;
}

RunOutcome InstallRunTest::WatchUninstall(DWORD copyId, int answer) {
    Utils::UniqueKernelHandle copy(::OpenProcess(
        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, copyId));
    if (!copy) {
        ADD_FAILURE() << "cannot open the uninstalling copy";
        return {TestSupport::ChildProcess::kKilled, {}, {}, {}};
    }
    return WatchRun(copy.Get(), copyId, kRunTimeoutMs, answer);
}

RunOutcome InstallRunTest::RunUninstall(int answer) {
    return WatchUninstall(StartUninstall(), answer);
}

std::vector<std::string> InstallRunTest::RequestsSince(std::size_t count) const {
    std::vector<std::string> targets;
    const std::vector<TestSupport::HttpRequest> requests = m_server.Requests();
    for (std::size_t i = count; i < requests.size(); ++i) targets.push_back(requests[i].target);
    return targets;
}

int InstallRunTest::HitsSince(std::size_t count, const std::string& target) const {
    const std::vector<std::string> targets = RequestsSince(count);
    return static_cast<int>(std::count(targets.begin(), targets.end(), target));
}

void InstallRunTest::RemoveUninstallEntry() {
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey + m_brand);
}

std::string InstallRunTest::DataPath(const std::string& relative) const {
    return m_programFolder + "\\" + relative;
}

std::string InstallRunTest::ShortcutPath(int csidl, const std::string& relative) const {
    return ShellFolder(csidl) + "\\" + relative;
}

std::string InstallRunTest::ProductValue(const std::string& name, const std::string& subkey) const {
    const std::string key = "Software\\" + m_brand + (subkey.empty() ? "" : "\\" + subkey);
    return ReadRegistryString(HKEY_CURRENT_USER, key, name);
}

std::string InstallRunTest::InstalledRecord(const std::string& clientPath) const {
    return ProductValue(clientPath, "Installed");
}

std::string InstallRunTest::UninstallValue(const std::string& name) const {
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey + m_brand, name);
}

bool InstallRunTest::HasUninstallEntry() const {
    Utils::UniqueRegKey key;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kUninstallKey + m_brand).c_str(), 0, KEY_READ,
                           key.Receive()) == ERROR_SUCCESS;
}

void InstallRunTest::ExpectInstalled(const std::vector<ProductFile>& files) const {
    for (const ProductFile& file : files) {
        EXPECT_EQ(TestSupport::ReadFile(DataPath(file.clientPath)), file.content)
            << file.clientPath;
        EXPECT_EQ(InstalledRecord(file.clientPath), file.CheckSum()) << file.clientPath;
    }
}

void InstallRunTest::ExpectShortcuts(const std::string& uninstallIcon) const {
    const struct {
        std::string file, arguments, icon;
    } shortcuts[] = {
        {ShortcutPath(CSIDL_PROGRAMS, m_brand + "\\" + m_brand + ".lnk"), "", ""},
        {ShortcutPath(CSIDL_DESKTOPDIRECTORY, m_brand + ".lnk"), "", ""},
        {ShortcutPath(CSIDL_PROGRAMS, m_brand + "\\Uninstall " + m_brand + ".lnk"), "/uninstall",
         uninstallIcon},
    };
    for (const auto& shortcut : shortcuts) {
        const TestSupport::LinkContents link = TestSupport::ReadLink(shortcut.file);
        EXPECT_TRUE(link.loaded) << shortcut.file;
        EXPECT_EQ(Lowered(link.target), Lowered(InstalledCopy())) << shortcut.file;
        EXPECT_EQ(link.arguments, shortcut.arguments) << shortcut.file;
        EXPECT_EQ(Lowered(link.icon), Lowered(shortcut.icon)) << shortcut.file;
    }
}

std::vector<std::string> InstallRunTest::ProductStarts(const std::string& clientPath) const {
    return SplitLines(TestSupport::ReadFile(DataPath(clientPath) + ".run.log"));
}

std::vector<std::string> InstallRunTest::WaitForProductStarts(std::size_t count) const {
    TestSupport::WaitUntil([&] { return ProductStarts().size() >= count; }, kProductStartTimeoutMs);
    return ProductStarts();
}

}  // namespace InstallE2E
