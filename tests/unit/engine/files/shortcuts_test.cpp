#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <thread>

#include "engine/files/com_ptr.h"
#include "engine/files/install_folders.h"
#include "engine/files/shortcuts.h"
#include "support/scratch.h"
#include "utils/string/string_utils.h"

namespace {

struct LinkContents {
    bool loaded = false;
    std::string target, arguments, icon;
    int iconIndex = -1;
};

LinkContents ReadLink(const std::string& file) {
    LinkContents contents;
    Engine::ComApartment apartment;
    Engine::UniqueComPtr<IShellLinkA> link;
    Engine::UniqueComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Receive()))) ||
        FAILED(link.Get()->QueryInterface(IID_IPersistFile,
                                          reinterpret_cast<void**>(persist.Receive()))))
        return contents;
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (FAILED(persist.Get()->Load(wide, STGM_READ))) return contents;
    char text[MAX_PATH] = {};
    link.Get()->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    contents.target = text;
    link.Get()->GetArguments(text, MAX_PATH);
    contents.arguments = text;
    link.Get()->GetIconLocation(text, MAX_PATH, &contents.iconIndex);
    contents.icon = text;
    contents.loaded = true;
    return contents;
}

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
