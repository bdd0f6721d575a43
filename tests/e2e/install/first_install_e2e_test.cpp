// A first installation from an empty machine, a rerun that finds nothing to
// do, and an update that changes, adds and drops files.
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
        TestSupport::ReadFile("Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans-ExtraLight.ttf");
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
    document.Root("CompressFilePath", "tools\\unkelz.exe")
        .Root("CompressWAVPath", "tools\\unkelw.exe");
    for (const ProductFile& file : files) {
        ASSERT_TRUE(!file.compressed || !file.served.empty()) << file.clientPath;
        Publish(document, file);
    }
    // This build's own entry (its checksum in other letter case) is never fetched.
    document.AddFile(
        {"/updates/fernwick.exe", "Fernwick.EXE", "0123456789abcdef0123456789abcdef", 10});
    document.AddRegistry({"Settings\\Look", "Theme", "dark", "true"});
    ServeDocument(document);
    // Slow enough to read the window's title while files arrive.
    TestSupport::Fault trickle;
    trickle.trickleBytes = 8;
    trickle.trickleDelayMs = 100;
    m_server.SetFault(files.back().ServerPath(), trickle);

    const RunOutcome first = RunUpdater();
    EXPECT_EQ(first.exitCode, 0u);
    EXPECT_TRUE(first.boxes.empty()) << first.boxes.front().text;
    EXPECT_TRUE(first.SawTitle(" " + m_brand + " Installation"));
    // The last percentage stays in front of the status text.
    EXPECT_EQ(first.statuses.back(), std::string("        100.00% - ") + InstallE2E::kFinishedText);
    for (const ProductFile& file : files) {
        EXPECT_EQ(TestSupport::ReadFile(DataPath(file.clientPath)), file.content)
            << file.clientPath;
        EXPECT_EQ(InstalledRecord(file.clientPath), file.CheckSum()) << file.clientPath;
    }
    EXPECT_EQ(Leftovers(m_programFolder), std::vector<std::string>{});
    EXPECT_EQ(InstalledRecord("fernwick.exe"), "");
    EXPECT_EQ(m_server.Hits(std::string("/updates/fernwick.exe") + InstallE2E::kDownloadId), 0);
    EXPECT_EQ(ProductValue("FileVersion"), "2.7.1.8");
    EXPECT_EQ(ProductValue("ExeName"), "Product.exe");

    EXPECT_EQ(TestSupport::ReadFile(InstalledCopy()), TestSupport::ReadFile(m_exe));
    EXPECT_EQ(ProductValue("DownloaderLocation"), InstalledCopy());
    EXPECT_EQ(UninstallValue("DisplayName"), m_brand);
    EXPECT_EQ(UninstallValue("UninstallString"), "\"" + InstalledCopy() + "\" /uninstall");
    for (const std::string& shortcut :
         {ShortcutPath(CSIDL_PROGRAMS, m_brand + "\\" + m_brand + ".lnk"),
          ShortcutPath(CSIDL_DESKTOPDIRECTORY, m_brand + ".lnk"),
          ShortcutPath(CSIDL_PROGRAMS, m_brand + "\\Uninstall " + m_brand + ".lnk")})
        EXPECT_TRUE(TestSupport::FileExists(shortcut)) << shortcut;

    const std::vector<std::string> starts = WaitForProductStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].substr(0, starts[0].find('|')), DataPath("bin"));

    const std::size_t before = m_server.Requests().size();
    const RunOutcome rerun = RunUpdater();
    EXPECT_EQ(rerun.exitCode, 0u);
    EXPECT_EQ(rerun.statuses.back(), std::string("        ") + InstallE2E::kFinishedText);
    EXPECT_EQ(RequestsSince(before), std::vector<std::string>{DocumentTarget()});
    EXPECT_EQ(WaitForProductStarts(2).size(), 2u);
    EXPECT_EQ(InstalledRecord(kProductExePath), files[0].CheckSum());
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
    ProductFile product = SampleProduct();
    TestSupport::UpdateDocumentBuilder document = NewDocument();
    document.Root("UpdateResourceExePath", "tools\\Refresh.exe");
    for (const ProductFile& file : {product, probe, kept, keptBelow, dropped})
        Publish(document, file);
    ServeDocument(document);
    ASSERT_EQ(RunUpdater().exitCode, 0u);
    const std::string probeRecord = DataPath(probe.clientPath) + ".args.log";
    EXPECT_EQ(TestSupport::ReadFile(probeRecord), "\"" + DataPath(probe.clientPath) + "\" \"" +
                                                      DataPath(kProductExePath) + "\" \"" + m_exe +
                                                      "\"");
    ASSERT_TRUE(::DeleteFileA(probeRecord.c_str()));
    WaitForProductStarts(1);
    ::DeleteFileA(ShortcutPath(CSIDL_DESKTOPDIRECTORY, m_brand + ".lnk").c_str());
    ::RegDeleteKeyA(
        HKEY_LOCAL_MACHINE,
        ("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + m_brand).c_str());

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
    const std::size_t before = m_server.Requests().size();

    const RunOutcome update = RunUpdater(InstalledCopy());
    EXPECT_EQ(update.exitCode, 0u);
    EXPECT_TRUE(update.SawTitle(" " + m_brand + " update process"));
    std::vector<std::string> requests = RequestsSince(before);
    std::sort(requests.begin(), requests.end());
    std::vector<std::string> expected = {DocumentTarget(), added.ServerPath(),
                                         product.ServerPath()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(requests, expected);
    EXPECT_EQ(TestSupport::ReadFile(probeRecord), "\"" + DataPath(probe.clientPath) + "\" \"" +
                                                      DataPath(kProductExePath) + "\" \"" +
                                                      InstalledCopy() + "\"");
    for (const ProductFile& file : {product, kept, keptBelow, added}) {
        EXPECT_EQ(TestSupport::ReadFile(DataPath(file.clientPath)), file.content)
            << file.clientPath;
        EXPECT_EQ(InstalledRecord(file.clientPath), file.CheckSum()) << file.clientPath;
    }
    EXPECT_FALSE(TestSupport::FileExists(DataPath(dropped.clientPath)));
    EXPECT_EQ(InstalledRecord(dropped.clientPath), "deleted");
    EXPECT_FALSE(TestSupport::FileExists(ShortcutPath(CSIDL_DESKTOPDIRECTORY, m_brand + ".lnk")));
    EXPECT_FALSE(HasUninstallEntry());
    EXPECT_EQ(WaitForProductStarts(2).size(), 2u);
}

}  // namespace
