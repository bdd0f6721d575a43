#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "engine/files/install_folders.h"
#include "files_test_helpers.h"
#include "support/scratch.h"
#include "utils/unique_handle.h"

namespace {

using TestSupport::FileExists;

constexpr char kVistaChildOutput[] = "NIMBRA_VISTA_CHILD_OUTPUT";
constexpr char kVistaChildBrand[] = "NIMBRA_VISTA_CHILD_BRAND";

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

void RemoveFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

TEST(InstallFolders, LocalAppDataOnlyOnVersion6_0) {
    const struct {
        bool requested;
        unsigned major, minor;
        bool expected;
    } cases[] = {
        {true, 6, 0, true},  {false, 6, 0, false}, {true, 6, 1, false},
        {true, 5, 1, false}, {true, 10, 0, false}, {true, 7, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::UsesLocalAppData(c.requested, c.major, c.minor), c.expected)
            << c.requested << " " << c.major << "." << c.minor;
}

TEST(InstallFolders, FolderTreeCreatesEveryFolderButTheFile) {
    const char* paths[] = {"a\\b\\c.txt", "a/b/c.txt", "a\\\\b\\c.txt"};
    for (const char* path : paths) {
        TestSupport::ScratchFolder folder;
        FilesTest::CurrentFolderScope current(folder.Path());
        Engine::CreateFolderTree(path);
        EXPECT_EQ(FilesTest::ListFolder(folder.Path()), std::vector<std::string>{"a"}) << path;
        EXPECT_EQ(FilesTest::ListFolder(folder / "a"), std::vector<std::string>{"b"}) << path;
        EXPECT_TRUE(FilesTest::ListFolder(folder / "a\\b").empty()) << path;
    }
    TestSupport::ScratchFolder folder;
    FilesTest::CurrentFolderScope current(folder.Path());
    Engine::CreateFolderTree("c.txt");
    Engine::CreateFolderTree(folder / "abs\\deep\\x.bin");
    EXPECT_EQ(FilesTest::ListFolder(folder.Path()), std::vector<std::string>{"abs"});
    EXPECT_TRUE(FileExists(folder / "abs\\deep"));
}

TEST(InstallFolders, FolderTreeLeavesAnExistingFileAlone) {
    TestSupport::ScratchFolder folder;
    FilesTest::CurrentFolderScope current(folder.Path());
    ASSERT_TRUE(TestSupport::WriteFile(folder / "a", "a file named like the folder"));
    Engine::CreateFolderTree("a\\b.txt");
    EXPECT_EQ(TestSupport::ReadFile(folder / "a"), "a file named like the folder");
}

TEST(InstallFolders, SpecialFoldersHaveNoTrailingBackslash) {
    for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAMS, CSIDL_DESKTOP, CSIDL_LOCAL_APPDATA}) {
        std::string folder = Engine::GetSpecialFolderPath(csidl);
        ASSERT_FALSE(folder.empty()) << csidl;
        EXPECT_NE(folder.back(), '\\') << folder;
        EXPECT_TRUE(FileExists(folder)) << folder;
    }
    EXPECT_EQ(Engine::GetSpecialFolderPath(CSIDL_PROGRAM_FILES), ShellFolder(CSIDL_PROGRAM_FILES));
    EXPECT_EQ(Engine::GetSpecialFolderPath(0x7777), "");
}

TEST(InstallFolders, ProductFolderUnderProgramFilesOffVista) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExA(&version));
    if (version.dwMajorVersion == 6 && version.dwMinorVersion == 0) GTEST_SKIP() << "runs on 6.0";
    std::string brand = TestSupport::UniqueName("NimbraBrand");
    std::string expected = ShellFolder(CSIDL_PROGRAM_FILES) + "\\" + brand;
    FilesTest::CurrentFolderScope restore(".");
    for (bool useLocalAppData : {false, true}) {
        EXPECT_EQ(Engine::PrepareInstallFolder(brand, useLocalAppData), expected);
        EXPECT_TRUE(FileExists(expected));
        EXPECT_EQ(Engine::GetCurrentFolder(), expected);
    }
    SetCurrentDirectoryA(ShellFolder(CSIDL_PROGRAM_FILES).c_str());
    RemoveFolder(expected);
}

TEST(InstallFolders, BrandMustBeOneFolderName) {
    FilesTest::CurrentFolderScope restore(".");
    std::string before = Engine::GetCurrentFolder();
    for (const char* brand : {"", ".", "..", "a\\b", "..\\x", "c:", "a/b"}) {
        EXPECT_EQ(Engine::PrepareInstallFolder(brand, false), "") << brand;
        EXPECT_EQ(Engine::GetCurrentFolder(), before) << brand;
    }
    // A file standing where the folder belongs: no folder, so no current folder either.
    const std::string brand = TestSupport::UniqueName("NimbraFileInTheWay");
    const std::string inTheWay = ShellFolder(CSIDL_PROGRAM_FILES) + "\\" + brand;
    ASSERT_TRUE(TestSupport::WriteFile(inTheWay, "not a folder"));
    EXPECT_EQ(Engine::PrepareInstallFolder(brand, false), "");
    EXPECT_EQ(Engine::GetCurrentFolder(), before);
    DeleteFileA(inTheWay.c_str());
}

// Makes the prefix report another Windows version to processes of one
// program started while it lives (Wine's per-program setting, so other test
// programs sharing the prefix are not affected), and removes it afterwards.
class WineVersionOverride {
public:
    WineVersionOverride(const std::string& program, const std::string& version)
        : m_path("Software\\Wine\\AppDefaults\\" + program) {
        DWORD disposition = 0;
        RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        m_key.Receive(), &disposition);
        m_createdKey = disposition == REG_CREATED_NEW_KEY;
        RegSetValueExA(m_key.Get(), "Version", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(version.c_str()), DWORD(version.size() + 1));
    }
    ~WineVersionOverride() {
        RegDeleteValueA(m_key.Get(), "Version");
        m_key.Reset();
        if (m_createdKey) RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
    }

private:
    std::string m_path;
    Utils::UniqueRegKey m_key;
    bool m_createdKey = false;
};

// Runs in a child process that starts with the overridden version.
TEST(VistaChild, DISABLED_PrepareInstallFolder) {
    const char* output = std::getenv(kVistaChildOutput);
    const char* brand = std::getenv(kVistaChildBrand);
    if (!output || !brand) GTEST_SKIP();
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    std::string folder = Engine::PrepareInstallFolder(brand, true);
    TestSupport::WriteFile(output, std::to_string(version.dwMajorVersion) + "." +
                                       std::to_string(version.dwMinorVersion) + "\n" + folder);
}

TEST(InstallFolders, ProductFolderUnderLocalAppDataOnVista) {
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "the reported Windows version can only be changed under Wine";
    TestSupport::ScratchFolder scratch;
    std::string brand = TestSupport::UniqueName("NimbraVista");
    std::string output = scratch / "child.txt";
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    SetEnvironmentVariableA(kVistaChildOutput, output.c_str());
    SetEnvironmentVariableA(kVistaChildBrand, brand.c_str());
    {
        WineVersionOverride vista(std::filesystem::path(self).filename().string(), "vista");
        FilesTest::RunProgram("\"" + std::string(self) +
                                  "\" --gtest_filter=VistaChild.* --gtest_also_run_disabled_tests",
                              scratch.Path());
    }
    SetEnvironmentVariableA(kVistaChildOutput, nullptr);
    SetEnvironmentVariableA(kVistaChildBrand, nullptr);

    std::string expected = ShellFolder(CSIDL_LOCAL_APPDATA) + "\\" + brand;
    EXPECT_EQ(TestSupport::ReadFile(output), "6.0\n" + expected);
    EXPECT_TRUE(FileExists(expected));
    RemoveFolder(expected);
}

}  // namespace
