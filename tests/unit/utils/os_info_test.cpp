#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>

#include "support/scratch.h"
#include "support/updater_process.h"
#include "utils/file/file_utils.h"
#include "utils/os/os_info.h"
#include "utils/string/string_utils.h"
#include "utils/unique_handle.h"

namespace {

const char kHelperOutput[] = "NIMBRA_UTILS_HELPER_OUTPUT";

std::string OwnPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Not a test: the body of a helper process that this file starts from a copy
// of the test executable. It writes the system's description when asked
// for it, else it lingers until it is ended.
TEST(DISABLED_UtilsHelperProcess, ReportOrLinger) {
    const char* output = std::getenv(kHelperOutput);
    if (output)
        TestSupport::WriteFile(output, Utils::OS::GetOSDescription(true));
    else
        Sleep(20000);
}

// A copy of this executable under a unique name, running the helper above.
class HelperProcess {
public:
    HelperProcess(const std::string& folder, const std::string& exeName) {
        m_path = folder + "\\" + exeName;
        // Under Wine, a process whose first window-system call comes after it
        // started a console-less child stalls about 10 s in that call.
        GetSystemMetrics(SM_CXSCREEN);
        if (!CopyFileA(OwnPath().c_str(), m_path.c_str(), FALSE)) return;
        // Without a console of its own: Wine gives a child that gets a new one
        // (CREATE_NO_WINDOW) a console host that inherits this process's output,
        // and a host that outlives a killed child keeps CTest waiting for the
        // end of that output.
        m_child.StartCommandLine("\"" + m_path +
                                     "\" --gtest_also_run_disabled_tests"
                                     " --gtest_filter=DISABLED_UtilsHelperProcess.*",
                                 "", DETACHED_PROCESS);
    }
    ~HelperProcess() {
        m_child.WaitForExitCode(0);  // ends a helper still lingering, so that its file can go
        DeleteFileA(m_path.c_str());
    }
    DWORD Id() const { return m_child.Id(); }
    void WaitForExit(DWORD milliseconds) { m_child.WaitForExitCode(milliseconds); }

private:
    std::string m_path;
    TestSupport::ChildProcess m_child;
};

bool Contains(const std::vector<DWORD>& list, DWORD id) {
    return std::find(list.begin(), list.end(), id) != list.end();
}

TEST(FindProcesses, FindsAChildByNameIgnoringCase) {
    TestSupport::ScratchFolder scratch;
    const std::string name = TestSupport::UniqueName("probe") + ".exe";
    HelperProcess helper(scratch.Path(), name);
    ASSERT_NE(helper.Id(), 0u);

    std::string upper = name;
    std::vector<DWORD> found = {12345};
    EXPECT_TRUE(Utils::OS::FindProcesses(found, Utils::String::ToUpper(upper)));
    EXPECT_EQ(found, (std::vector<DWORD>{12345, helper.Id()})) << "appends, never clears";

    std::vector<DWORD> none;
    EXPECT_TRUE(Utils::OS::FindProcesses(none, "no_such_program_" + name));
    EXPECT_TRUE(none.empty());

    std::vector<DWORD> all;
    EXPECT_TRUE(Utils::OS::FindProcesses(all, ""));
    EXPECT_TRUE(Contains(all, helper.Id()));
    EXPECT_TRUE(Contains(all, GetCurrentProcessId()));
    EXPECT_GT(all.size(), 2u);
}

TEST(GetModulePath, FlagsApplyInOrder) {
    const std::string full = OwnPath();
    const std::string::size_type slash = full.rfind('\\');
    const std::string folder = full.substr(0, slash + 1);
    const std::string file = full.substr(slash + 1);
    struct Case {
        bool fileNameOnly, dropExtension, folderOnly;
        std::string expected;
    };
    const Case cases[] = {
        {false, false, false, full},
        {true, false, false, file},
        {true, true, false, file.substr(0, file.size() - 4)},
        {false, false, true, folder},
        {false, true, true, folder},
        {true, false, true, file},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utils::File::GetModulePath(c.fileNameOnly, c.dropExtension, c.folderOnly),
                  c.expected)
            << c.fileNameOnly << c.dropExtension << c.folderOnly;
    }
    EXPECT_EQ(file, "unit_utils.exe");
}

// The shell's folder asked through another call, as the system stores it.
std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
    return path;
}

// A lookup that fails falls back to "" for most folders and to "C:\Windows"
// (a prefix's own is "C:\windows") or "C:\Program Files" (the same as a
// prefix's own). So the results are compared exactly with the shell's, and
// program files also with a flag bit that the shell ignores but that keeps
// the fallback away.
TEST(GetSpecialFolder, GivesTheShellsFoldersNotTheFallbacks) {
    for (int csidl :
         {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_WINDOWS, CSIDL_LOCAL_APPDATA,
          CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOPDIRECTORY}) {
        const std::string expected = ShellFolder(csidl);
        ASSERT_FALSE(expected.empty()) << std::hex << csidl;
        EXPECT_NE(expected.back(), '\\') << expected;
        EXPECT_EQ(Utils::File::GetSpecialFolder(csidl), expected) << std::hex << csidl;
    }
    const std::string programFiles = ShellFolder(CSIDL_PROGRAM_FILES);
    EXPECT_EQ(Utils::File::GetSpecialFolder(CSIDL_PROGRAM_FILES | CSIDL_FLAG_DONT_VERIFY),
              programFiles);
    const char* fromEnvironment = std::getenv("ProgramFiles");
    ASSERT_NE(fromEnvironment, nullptr);
    EXPECT_TRUE(Utils::String::EqualsIgnoreCase(programFiles, fromEnvironment)) << fromEnvironment;
    EXPECT_TRUE(Utils::File::IsDirectory(programFiles)) << programFiles;
}

TEST(GetSpecialFolder, UnknownFoldersGiveAnEmptyPath) {
    EXPECT_EQ(Utils::File::GetSpecialFolder(0x7E), "");
}

TEST(GetOSDescription, NamesOnlyTheKnownVersions) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExA(&version));
    if (version.dwMajorVersion != 6 || version.dwMinorVersion != 1)
        GTEST_SKIP() << "expects Wine's default 6.1";
    EXPECT_EQ(Utils::OS::GetOSDescription(false), "???");
    EXPECT_EQ(Utils::OS::GetOSDescription(true), "???");
}

// Runs the helper under Wine's Vista setting, which gives version 6.0.
TEST(GetOSDescription, VistaWithDetail) {
    TestSupport::ScratchFolder scratch;
    const std::string output = scratch / "os.txt";
    Utils::UniqueRegKey wine;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, wine.Receive(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(
        RegSetValueExA(wine.Get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("vista"), 6),
        ERROR_SUCCESS);
    SetEnvironmentVariableA(kHelperOutput, output.c_str());
    {
        HelperProcess helper(scratch.Path(), TestSupport::UniqueName("vista") + ".exe");
        helper.WaitForExit(10000);
    }
    SetEnvironmentVariableA(kHelperOutput, nullptr);
    RegDeleteValueA(wine.Get(), "Version");
    const std::string description = TestSupport::ReadFile(output);
    EXPECT_EQ(description.rfind("Windows Vista SP='", 0), 0u) << description;
    EXPECT_NE(description.find("' Build="), std::string::npos) << description;
}

}  // namespace
