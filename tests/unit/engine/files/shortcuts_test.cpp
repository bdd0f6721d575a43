#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <thread>

#include "engine/files/install_folders.h"
#include "engine/files/shortcuts.h"
#include "support/scratch.h"
#include "support/shell_link.h"
#include "utils/string/string_utils.h"

namespace {

using TestSupport::LinkContents;
using TestSupport::ReadLink;

// Removes what a test created in the shell's folders.
struct ShellCleanup {
    std::vector<std::string> paths;
    ~ShellCleanup() {
        std::error_code ignored;
        for (const auto& path : paths) std::filesystem::remove_all(path, ignored);
    }
};

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestSupport::WriteFile(target, "MZ"));
        ASSERT_TRUE(TestSupport::WriteFile(icon, "icon"));
    }
    TestSupport::ScratchFolder folder;
    std::string brand = TestSupport::UniqueName("NimbraLink");
    std::string target = folder / "Product.exe";
    std::string icon = folder / "data\\uninstall.ico";
    ShellCleanup cleanup;
};

TEST_F(Shortcuts, ProgramsMenuEntriesCarryTargetArgumentsAndIcon) {
    std::string menu = Engine::GetSpecialFolderPath(CSIDL_PROGRAMS) + "\\" + brand;
    cleanup.paths.push_back(menu);
    EXPECT_TRUE(Engine::CreateShortcut(CSIDL_PROGRAMS, target, brand, "", brand, ""));
    EXPECT_TRUE(Engine::CreateShortcut(CSIDL_PROGRAMS, target, "Uninstall " + brand, icon, brand,
                                       "/uninstall"));

    LinkContents app = ReadLink(menu + "\\" + brand + ".lnk");
    ASSERT_TRUE(app.loaded);
    EXPECT_TRUE(Utils::String::EqualsIgnoreCase(app.target, target)) << app.target;
    EXPECT_EQ(app.arguments, "");
    EXPECT_EQ(app.icon, "");

    LinkContents uninstall = ReadLink(menu + "\\Uninstall " + brand + ".lnk");
    ASSERT_TRUE(uninstall.loaded);
    EXPECT_TRUE(Utils::String::EqualsIgnoreCase(uninstall.target, target)) << uninstall.target;
    EXPECT_EQ(uninstall.arguments, "/uninstall");
    EXPECT_TRUE(Utils::String::EqualsIgnoreCase(uninstall.icon, icon)) << uninstall.icon;
    EXPECT_EQ(uninstall.iconIndex, 0);
}

TEST_F(Shortcuts, DesktopShortcutFromAThreadWithoutCom) {
    std::string file = Engine::GetSpecialFolderPath(CSIDL_DESKTOP) + "\\" + brand + ".lnk";
    cleanup.paths.push_back(file);
    bool saved = false;
    std::thread worker(
        [&] { saved = Engine::CreateShortcut(CSIDL_DESKTOP, target, brand, "", "", ""); });
    worker.join();
    EXPECT_TRUE(saved);
    LinkContents link = ReadLink(file);
    ASSERT_TRUE(link.loaded);
    EXPECT_TRUE(Utils::String::EqualsIgnoreCase(link.target, target)) << link.target;
}

TEST_F(Shortcuts, NothingWithoutNameOrTarget) {
    std::string menu = Engine::GetSpecialFolderPath(CSIDL_PROGRAMS) + "\\" + brand;
    cleanup.paths.push_back(menu);
    EXPECT_FALSE(Engine::CreateShortcut(CSIDL_PROGRAMS, target, "", "", brand, ""));
    EXPECT_FALSE(Engine::CreateShortcut(CSIDL_PROGRAMS, "", brand, "", brand, ""));
    EXPECT_FALSE(TestSupport::FileExists(menu));
}

}  // namespace
