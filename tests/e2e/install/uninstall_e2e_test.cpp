// Uninstalling an installed product through its installed copy: the launcher,
// the copy in the temporary folder and the question answered as a user would.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "install_fixture.h"
#include "support/window_driver.h"
#include "utils/unique_handle.h"

namespace {

using InstallE2E::InstallRunTest;
using InstallE2E::kProductExePath;
using InstallE2E::RunOutcome;
using TestSupport::ChildProcess;

constexpr DWORD kStartTimeoutMs = 15000;
constexpr char kUninstallList[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool KeyExists(HKEY root, const std::string& path) {
    Utils::UniqueRegKey key;
    return ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

void MakeKey(HKEY root, const std::string& path) {
    ::RegSetKeyValueA(root, path.c_str(), "Keep", REG_SZ, "yes", 4);
}

void RemoveKey(HKEY root, const std::string& path) {
    ::RegDeleteTreeA(root, path.c_str());
    ::RegDeleteKeyA(root, path.c_str());
}

class UninstallTest : public InstallRunTest {
protected:
    void SetUp() override {
        InstallRunTest::SetUp();
        TestSupport::UpdateDocumentBuilder document = NewDocument();
        Publish(document, SampleProduct());
        Publish(document, InstallE2E::PlainFile("data\\notes.txt", "notes"));
        ServeDocument(document);
        ASSERT_EQ(RunUpdater().exitCode, 0u);
        ASSERT_TRUE(TestSupport::FileExists(DataPath(kProductExePath)));
    }
    void TearDown() override {
        InstallRunTest::TearDown();
        for (int csidl : {CSIDL_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_LOCAL_APPDATA})
            std::filesystem::remove_all(ShortcutPath(csidl, m_brand), m_ignored);
    }

    std::string Question() const { return "Are you sure you want to uninstall " + m_brand + "?"; }
    bool IsInstalled() const {
        return TestSupport::FileExists(DataPath(kProductExePath)) &&
               KeyExists(HKEY_CURRENT_USER, "Software\\" + m_brand) && HasUninstallEntry();
    }

    std::error_code m_ignored;
};

TEST_F(UninstallTest, RemovesTheProductAndNothingElse) {
    // The three folders a run of this prefix does not make, as other versions would.
    std::vector<std::string> brandFolders;
    for (int csidl : {CSIDL_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_LOCAL_APPDATA}) {
        brandFolders.push_back(ShortcutPath(csidl, m_brand));
        ASSERT_TRUE(TestSupport::WriteFile(brandFolders.back() + "\\sub\\left.txt", "x"));
    }
    brandFolders.push_back(m_programFolder);
    brandFolders.push_back(ShortcutPath(CSIDL_PROGRAMS, m_brand));
    // Neighbours whose names begin with the brand.
    const std::string neighbour = m_brand + "Pro";
    ASSERT_TRUE(TestSupport::WriteFile(m_programFolder + "Pro\\keep.txt", "keep"));
    MakeKey(HKEY_CURRENT_USER, "Software\\" + neighbour);
    MakeKey(HKEY_LOCAL_MACHINE, kUninstallList + neighbour);

    const RunOutcome declined = RunUninstall(IDNO);
    EXPECT_EQ(declined.exitCode, 0u);
    ASSERT_EQ(declined.boxes.size(), 1u);
    EXPECT_EQ(declined.boxes[0].caption, "Uninstall");
    EXPECT_EQ(declined.boxes[0].text, Question());
    EXPECT_TRUE(IsInstalled());

    const RunOutcome removed = RunUninstall(IDYES);
    EXPECT_EQ(removed.exitCode, 0u);
    ASSERT_EQ(removed.boxes.size(), 2u);
    EXPECT_EQ(removed.boxes[1].caption, "Downloader");
    EXPECT_EQ(removed.boxes[1].text, m_brand + " has been successfully uninstalled ");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\" + m_brand));
    EXPECT_FALSE(HasUninstallEntry());
    for (const std::string& folder : brandFolders)
        EXPECT_FALSE(TestSupport::FileExists(folder)) << folder;
    EXPECT_FALSE(TestSupport::FileExists(ShortcutPath(CSIDL_DESKTOPDIRECTORY, m_brand + ".lnk")));

    EXPECT_EQ(TestSupport::ReadFile(m_programFolder + "Pro\\keep.txt"), "keep");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\" + neighbour));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallList + neighbour));
    std::filesystem::remove_all(m_programFolder + "Pro", m_ignored);
    RemoveKey(HKEY_CURRENT_USER, "Software\\" + neighbour);
    RemoveKey(HKEY_LOCAL_MACHINE, kUninstallList + neighbour);
}

TEST_F(UninstallTest, OnlyTheRunningInstalledProductBlocks) {
    const std::string namesake = m_folder / "elsewhere\\Product.exe";
    ASSERT_TRUE(TestSupport::WriteFile(namesake, TestSupport::ReadFile(DataPath(kProductExePath))));
    ChildProcess other;
    ASSERT_TRUE(other.Start(namesake, "hidden"));
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return TestSupport::FileExists(namesake + ".run.log"); }, kStartTimeoutMs));
    const RunOutcome notBlocked = RunUninstall(IDNO);
    EXPECT_EQ(notBlocked.exitCode, 0u);
    ASSERT_EQ(notBlocked.boxes.size(), 1u);
    EXPECT_EQ(notBlocked.boxes[0].text, Question());

    ChildProcess product;
    ASSERT_TRUE(product.Start(DataPath(kProductExePath), "hidden"));
    ASSERT_FALSE(WaitForProductStarts(1).empty());
    const RunOutcome blocked = RunUninstall(IDYES);
    EXPECT_EQ(blocked.exitCode, 1u);
    ASSERT_EQ(blocked.boxes.size(), 1u);
    EXPECT_EQ(blocked.boxes[0].caption, "Downloader");
    EXPECT_EQ(blocked.boxes[0].text, "Please close the application before uninstalling it");
    EXPECT_TRUE(IsInstalled());
    EXPECT_TRUE(product.IsRunning());
}

// An update started while the question is open leaves at once: it used to
// run on, and to put files of the product back after their removal.
TEST_F(UninstallTest, AnUpdateDuringTheUninstallLeavesItAlone) {
    const DWORD copyId = StartUninstall();
    ASSERT_NE(TestSupport::WaitForMessageBox("Uninstall", copyId, kStartTimeoutMs), nullptr);
    const std::size_t before = m_server.Requests().size();
    const RunOutcome update = RunUpdater(InstalledCopy());
    EXPECT_EQ(update.exitCode, 0u);
    EXPECT_TRUE(update.titles.empty());
    EXPECT_TRUE(RequestsSince(before).empty());

    const RunOutcome removed = WatchUninstall(copyId, IDYES);
    EXPECT_EQ(removed.exitCode, 0u);
    EXPECT_FALSE(TestSupport::FileExists(m_programFolder));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\" + m_brand));
    EXPECT_FALSE(HasUninstallEntry());
}

}  // namespace
