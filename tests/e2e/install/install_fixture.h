#pragma once
// Whole installing runs of a stamped updater with a brand of its own per
// test, against the test HTTP server on loopback: the update service and the
// files server in one. Under Wine the prefix reports Windows 7, so the data
// folder is the program folder, C:\Program Files\<brand>.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "payloads.h"
#include "run_watch.h"
#include "support/scratch.h"
#include "support/test_http_server.h"
#include "support/update_document_builder.h"
#include "support/updater_process.h"

namespace InstallE2E {

constexpr char kServicePath[] = "/DownloadService.svc/GetUpdateXML?did=";
constexpr char kDownloadId[] = "6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f";
constexpr char kUpdaterCheckSum[] = "0123456789ABCDEF0123456789ABCDEF";
constexpr char kProductExePath[] = "bin\\Product.exe";
constexpr char kFatalCaption[] = "Downloader";
constexpr char kFinishedText[] = "Finished updating successfully";

class InstallRunTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Stamps m_exe for the test's brand and this service host.
    bool StampUpdater(const std::string& host) const;
    // A document naming the sample product as bin\Product.exe (not listed)
    // and this server as the files server.
    TestSupport::UpdateDocumentBuilder NewDocument() const;
    // Serves the file at its server path and lists it in the document.
    void Publish(TestSupport::UpdateDocumentBuilder& document, const ProductFile& file);
    void ServeDocument(const TestSupport::UpdateDocumentBuilder& document);
    // The request target of the update document: service path + download id.
    static std::string DocumentTarget();
    // The sample product (or another built program) under the given client path.
    static ProductFile SampleProduct(const std::string& clientPath = kProductExePath);
    static ProductFile BuiltFile(const std::string& clientPath, const char* linuxPath);

    // Runs an updater (the stamped one by default) to its end, answering its boxes.
    RunOutcome RunUpdater(const std::string& exe = "");
    // Runs "/uninstall" on the installed copy and watches the copy that it
    // starts to its end, answering the question with answer (IDYES, IDNO).
    RunOutcome RunUninstall(int answer);
    // The two halves of RunUninstall: the copy's process id (0 when none
    // came), and the watch of that copy.
    DWORD StartUninstall();
    RunOutcome WatchUninstall(DWORD copyId, int answer);
    // Ends the run's processes and removes what runs leave: the product key,
    // the uninstall entry, the program folder and the shortcuts.
    void RemoveInstallation();
    // The requests received after the first count ones, as targets.
    std::vector<std::string> RequestsSince(std::size_t count) const;
    int HitsSince(std::size_t count, const std::string& target) const;
    void RemoveUninstallEntry();

    std::string DataPath(const std::string& relative) const;
    std::string InstalledCopy() const { return DataPath(m_brand + ".exe"); }
    std::string ShortcutPath(int csidl, const std::string& relative) const;
    // "" when absent.
    std::string ProductValue(const std::string& name, const std::string& subkey = "") const;
    std::string InstalledRecord(const std::string& clientPath) const;
    std::string UninstallValue(const std::string& name) const;
    bool HasUninstallEntry() const;
    // Each file's installed content and "Installed" record.
    void ExpectInstalled(const std::vector<ProductFile>& files) const;
    // The two shortcuts to the installed copy and the one that uninstalls with the given icon.
    void ExpectShortcuts(const std::string& uninstallIcon) const;
    // The lines that the sample product at the client path recorded, one per start.
    std::vector<std::string> ProductStarts(const std::string& clientPath = kProductExePath) const;
    // ProductStarts() once it holds count lines (or after a timeout): the
    // product runs on after the updater that started it has ended.
    std::vector<std::string> WaitForProductStarts(std::size_t count) const;

    std::string m_brand;
    TestSupport::ScratchFolder m_folder;
    // Every updater run with what it started (the product, a newer updater):
    // they live until TearDown, which ends them all.
    std::vector<std::unique_ptr<TestSupport::ChildProcess>> m_runs;
    TestSupport::TestHttpServer m_server;
    std::string m_exe;            // the stamped updater, in the scratch folder
    std::string m_programFolder;  // also the data folder
};

// The temporary folder, with a trailing backslash.
std::string TemporaryFolder();

}  // namespace InstallE2E
