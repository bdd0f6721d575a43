// A first installation from an empty machine, a rerun that finds nothing to
// do, an update that changes, adds and drops files, and a first installation
// that the installed copy completes.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "install_fixture.h"
#include "support/window_driver.h"

namespace {

using InstallE2E::InstallRunTest;
using InstallE2E::kProductExePath;
using InstallE2E::ProductFile;
using InstallE2E::RunOutcome;

// Files below the folder whose names show a transfer's leftovers.
std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".part") != std::string::npos || name.find(".Kel") != std::string::npos)
            found.push_back(entry.path().string());
    }
    return found;
}

TEST_F(InstallRunTest, FirstInstallPlacesEverythingAndARerunFetchesOnlyTheDocument) {
    const std::string font =
        TestSupport::ReadFile("Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf");
    ASSERT_FALSE(font.empty()) << "no font to publish";
    const std::vector<ProductFile> files = {
        SampleProduct(),
        BuiltFile("tools\\unkelz.exe", UNKELZ_EXE),
        BuiltFile("tools\\unkelw.exe", UNKELW_EXE),
        InstallE2E::PackedFile("data\\readme.txt", std::string(5000, 'r') + "eadme",
                               m_folder.Path()),
        InstallE2E::PackedFile("sounds\\chime.wav", InstallE2E::MakeWav(3000), m_folder.Path()),
        InstallE2E::PlainFile("fonts\\Sans Light.ttf", font),
        InstallE2E::PlainFile("notes.txt", "notes at the top of the data folder"),
    };
    TestSupport::UpdateDocumentBuilder document = NewDocument();
    document.Root("UninstallIconPath", "icons\\remove.ico")
        .Root("SkinURL", m_server.Url("/skin.html"));  // shown during a first installation
    document.Root("CompressFilePath", "tools\\unkelz.exe")
        .Root("CompressWAVPath", "tools\\unkelw.exe");
    for (const ProductFile& file : files) {
        ASSERT_TRUE(!file.compressed || !file.served.empty()) << file.clientPath;
        Publish(document, file);
    }
    // A foreign element among the files adds an empty position, which names nothing to fetch.
    document.AddFileMarkup("<UpdateFolder ClientRelativePath=\"data\\empty\"/>");
    // This build's own entry (its checksum in other letter case) is never fetched.
    document.AddFile(
        {"/updates/fernwick.exe", "Fernwick.EXE", "0123456789abcdef0123456789abcdef", 10});
    document.AddRegistry({"Settings\\Look", "Theme", "dark", "true"});
    document.AddRegistry({"", "Greeting", "hello", "TRUE"});
    document.AddRegistry({"Settings", "Channel", "stable", "false"});  // kept: not an override
    ServeDocument(document);
    m_server.Serve("/skin.html", "<html><body>Installing</body></html>", 200, "text/html");
    const std::string settingsKey = "Software\\" + m_brand + "\\Settings";
    ::RegSetKeyValueA(HKEY_CURRENT_USER, settingsKey.c_str(), "Channel", REG_SZ, "beta", 5);
    // Slow enough to read the window's title while files arrive.
    TestSupport::Fault trickle;
    trickle.trickleBytes = 8;
    trickle.trickleDelayMs = 100;
    m_server.SetFault(files.back().ServerPath(), trickle);

    const RunOutcome first = RunUpdater();
    EXPECT_EQ(first.exitCode, 0u);
    EXPECT_TRUE(first.boxes.empty()) << first.boxes.front().text;
    EXPECT_TRUE(first.SawTitle(" " + m_brand + " Installation"));
    // The skin browser asked for the page (Wine has no engine to show it).
    EXPECT_EQ(m_server.Hits("/skin.html"), 1);
    ExpectInstalled(files);
    EXPECT_EQ(Leftovers(m_programFolder), std::vector<std::string>{});
    EXPECT_EQ(InstalledRecord("fernwick.exe"), "");
    EXPECT_EQ(m_server.Hits(std::string("/updates/fernwick.exe") + InstallE2E::kDownloadId), 0);
    EXPECT_EQ(ProductValue("FileVersion"), "2.7.1.8");
    EXPECT_EQ(ProductValue("ExeName"), "Product.exe");
    EXPECT_EQ(ProductValue("Theme", "Settings\\Look"), "dark");
    EXPECT_EQ(ProductValue("Greeting"), "hello");
    EXPECT_EQ(ProductValue("Channel", "Settings"), "beta");

    EXPECT_EQ(TestSupport::ReadFile(InstalledCopy()), TestSupport::ReadFile(m_exe));
    EXPECT_EQ(ProductValue("DownloaderLocation"), InstalledCopy());
    EXPECT_EQ(UninstallValue("DisplayName"), m_brand);
    EXPECT_EQ(UninstallValue("UninstallString"), "\"" + InstalledCopy() + "\" /uninstall");
    ExpectShortcuts(DataPath("icons\\remove.ico"));

    EXPECT_FALSE(TestSupport::FileExists(InstallE2E::TemporaryFolder() + "xml_downloaded_24.xml"));
    const std::vector<std::string> starts = WaitForProductStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].substr(0, starts[0].find('|')), DataPath("bin"));  // working folder
    EXPECT_NE(starts[0].find(DataPath(kProductExePath)), std::string::npos) << starts[0];

    const std::size_t before = m_server.Requests().size();
    const RunOutcome rerun = RunUpdater();
    EXPECT_EQ(rerun.exitCode, 0u);
    EXPECT_EQ(RequestsSince(before), std::vector<std::string>{DocumentTarget()});
    EXPECT_EQ(WaitForProductStarts(2).size(), 2u);
    EXPECT_EQ(InstalledRecord(kProductExePath), files[0].CheckSum());

    // Files deleted since they were installed, a decompressor among them, are fetched again.
    ASSERT_TRUE(::DeleteFileA(DataPath("tools\\unkelz.exe").c_str()));
    ASSERT_TRUE(::DeleteFileA(DataPath("data\\readme.txt").c_str()));
    const std::size_t beforeRepair = m_server.Requests().size();
    EXPECT_EQ(RunUpdater().exitCode, 0u);
    EXPECT_EQ(RequestsSince(beforeRepair),
              (std::vector<std::string>{DocumentTarget(), files[1].ServerPath(),
                                        files[3].ServerPath()}));
    ExpectInstalled(files);
    EXPECT_EQ(WaitForProductStarts(3).size(), 3u);

    // The closing status is on screen only while the product is being
    // started, a few milliseconds: a watcher may miss it in one run, so
    // no-op runs are repeated until one shows it (each is a whole run).
    const std::string finished = std::string("        ") + InstallE2E::kFinishedText;
    bool seen = rerun.SawStatus(finished);
    for (int extra = 0; extra < 4 && !seen; ++extra) seen = RunUpdater().SawStatus(finished);
    EXPECT_TRUE(seen);
}

// The installed copy updates: only what changed is fetched, the resource
// update program runs (and is awaited) because the product changed, files
// that the document dropped go, and the installed copy neither copies itself
// nor makes shortcuts again.
TEST_F(InstallRunTest, UpdateFetchesOnlyChangedFilesAndRunsTheResourceUpdateProgram) {
    const ProductFile probe = BuiltFile("tools\\Refresh.exe", RESOURCE_PROBE_EXE);
    const ProductFile kept = InstallE2E::PlainFile("notes.txt", "kept at the top");
    const ProductFile keptBelow = InstallE2E::PlainFile("data\\kept.txt", "kept below");
    const ProductFile dropped = InstallE2E::PlainFile("data\\dropped.txt", "dropped later");
    const ProductFile droppedTop = InstallE2E::PlainFile("old.txt", "dropped from the top");
    ProductFile product = SampleProduct();
    TestSupport::UpdateDocumentBuilder document = NewDocument();
    document.Root("UpdateResourceExePath", "tools\\Refresh.exe");
    for (const ProductFile& file : {product, probe, kept, keptBelow, dropped, droppedTop})
        Publish(document, file);
    ServeDocument(document);
    ASSERT_EQ(RunUpdater().exitCode, 0u);
    const std::string probeRecord = DataPath(probe.clientPath) + ".args.log";
    const auto commandWith = [&](const std::string& updater) {
        return "\"" + DataPath(probe.clientPath) + "\" \"" + DataPath(kProductExePath) + "\" \"" +
               updater + "\"";
    };
    EXPECT_EQ(TestSupport::ReadFile(probeRecord), commandWith(m_exe));
    ASSERT_TRUE(::DeleteFileA(probeRecord.c_str()));
    WaitForProductStarts(1);
    ::DeleteFileA(ShortcutPath(CSIDL_DESKTOPDIRECTORY, m_brand + ".lnk").c_str());
    RemoveUninstallEntry();

    product.content += "trailing bytes of a new build";  // still runs, same version
    const ProductFile added = InstallE2E::PlainFile("data\\added.txt", "new in this release");
    document = NewDocument();
    document.Root("UpdateResourceExePath", "tools\\Refresh");
    for (const ProductFile& file : {product, probe, kept, keptBelow, added})
        Publish(document, file);
    ServeDocument(document);
    TestSupport::Fault trickle;
    trickle.trickleBytes = 4;
    trickle.trickleDelayMs = 100;
    m_server.SetFault(added.ServerPath(), trickle);
    trickle.trickleBytes = 256;  // time to read the status line while the document arrives
    m_server.SetFault(DocumentTarget(), trickle);
    const std::size_t before = m_server.Requests().size();

    const RunOutcome update = RunUpdater(InstalledCopy());
    EXPECT_EQ(update.exitCode, 0u);
    EXPECT_TRUE(update.SawTitle(" " + m_brand + " update process"));
    // The installed copy, in a folder named after itself, checks for updates.
    EXPECT_TRUE(update.SawStatus("         Checking for software updates"));
    std::vector<std::string> requests = RequestsSince(before);
    std::sort(requests.begin(), requests.end());
    std::vector<std::string> expected = {DocumentTarget(), added.ServerPath(),
                                         product.ServerPath()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(requests, expected);
    EXPECT_EQ(TestSupport::ReadFile(probeRecord), commandWith(InstalledCopy()));
    ExpectInstalled({product, kept, keptBelow, added});
    for (const ProductFile& file : {dropped, droppedTop}) {
        EXPECT_FALSE(TestSupport::FileExists(DataPath(file.clientPath))) << file.clientPath;
        EXPECT_EQ(InstalledRecord(file.clientPath), "deleted") << file.clientPath;
    }
    EXPECT_TRUE(TestSupport::FileExists(InstalledCopy()));  // never swept
    EXPECT_FALSE(TestSupport::FileExists(ShortcutPath(CSIDL_DESKTOPDIRECTORY, m_brand + ".lnk")));
    EXPECT_FALSE(HasUninstallEntry());
    EXPECT_EQ(WaitForProductStarts(2).size(), 2u);
}

// A first installation ended after its files had arrived but before its
// shortcuts leaves no "IsFirstTime": the installed copy's run that completes
// it makes them. Later runs of the installed copy leave a deleted one deleted.
TEST_F(InstallRunTest, TheRunThatCompletesTheFirstInstallationMakesTheShortcuts) {
    TestSupport::UpdateDocumentBuilder document = NewDocument();
    Publish(document, SampleProduct());
    ServeDocument(document);
    ASSERT_EQ(RunUpdater().exitCode, 0u);
    std::filesystem::remove_all(ShortcutPath(CSIDL_PROGRAMS, m_brand));
    const std::string desktopShortcut = ShortcutPath(CSIDL_DESKTOPDIRECTORY, m_brand + ".lnk");
    ASSERT_TRUE(::DeleteFileA(desktopShortcut.c_str()));
    const std::string productKey = "Software\\" + m_brand;
    ASSERT_EQ(::RegDeleteKeyValueA(HKEY_CURRENT_USER, productKey.c_str(), "IsFirstTime"),
              ERROR_SUCCESS);

    ASSERT_EQ(RunUpdater(InstalledCopy()).exitCode, 0u);
    ExpectShortcuts("");
    ASSERT_TRUE(::DeleteFileA(desktopShortcut.c_str()));
    ASSERT_EQ(RunUpdater(InstalledCopy()).exitCode, 0u);
    EXPECT_FALSE(TestSupport::FileExists(desktopShortcut));
}

// Another product's setup receiving its update document meanwhile has the
// turn on the document name that every updater uses: this run waits a little,
// then takes a name of its own, where it used to fail at once on the file
// that the other was receiving.
TEST_F(InstallRunTest, AnotherProductsRunDoesNotStopThisOne) {
    TestSupport::UpdaterStamp stamp;
    stamp.brand = m_brand + "Other";
    stamp.host = m_server.Host();
    stamp.servicePath = InstallE2E::kServicePath;
    stamp.downloadId = "other-release";
    const std::string otherTarget = stamp.servicePath + stamp.downloadId;
    const std::string otherSetup = m_folder / "OtherSetup.exe";
    ASSERT_TRUE(TestSupport::MakeStampedUpdater(otherSetup, stamp));
    m_server.Serve(otherTarget, NewDocument().Build(), 200, "text/xml");
    TestSupport::Fault stall;  // its received document stays open
    stall.trickleBytes = 1;
    stall.trickleDelayMs = 20000;
    m_server.SetFault(otherTarget, stall);
    TestSupport::ChildProcess other;
    ASSERT_TRUE(other.Start(otherSetup, ""));
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return m_server.Hits(otherTarget) > 0; }, 15000));

    TestSupport::UpdateDocumentBuilder document = NewDocument();
    Publish(document, SampleProduct());
    ServeDocument(document);
    const RunOutcome run = RunUpdater();
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty()) << (run.boxes.empty() ? "" : run.boxes.front().text);
    EXPECT_EQ(WaitForProductStarts(1).size(), 1u);
    EXPECT_FALSE(TestSupport::FileExists(InstallE2E::TemporaryFolder() + "xml_downloaded_24_" +
                                         m_brand + ".xml"));
    EXPECT_TRUE(other.IsRunning());
    EXPECT_EQ(other.WaitForExitCode(0), TestSupport::ChildProcess::kKilled);
    TestSupport::DeleteProductKey(stamp.brand);
}

}  // namespace
