#include "files_test_helpers.h"

#include <algorithm>
#include <cstdint>

#include "utils/unique_handle.h"

namespace FilesTest {
namespace {

std::string FromBuildPath(const char* unixPath) {
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace

std::string GeneralToolExe() { return FromBuildPath(UNKELZ_EXE); }
std::string SoundToolExe() { return FromBuildPath(UNKELW_EXE); }

ToolNames InstallTools(const std::string& folder) {
    CreateDirectoryA((folder + "\\tools").c_str(), nullptr);
    CopyFileA(GeneralToolExe().c_str(), (folder + "\\tools\\unkelz.exe").c_str(), FALSE);
    CopyFileA(SoundToolExe().c_str(), (folder + "\\tools\\unkelw.exe").c_str(), FALSE);
    return {"tools\\unkelz", "tools\\unkelw"};
}

ProgramResult RunProgram(const std::string& commandLine, const std::string& workFolder) {
    std::string outputPath = workFolder + "\\" + TestSupport::UniqueName("output") + ".txt";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    ProgramResult result{~0u, ""};
    {
        Utils::UniqueFileHandle output(CreateFileA(outputPath.c_str(), GENERIC_WRITE,
                                                   FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output.Get();
        PROCESS_INFORMATION process{};
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            workFolder.c_str(), &startup, &process))
            return result;
        Utils::UniqueKernelHandle processHandle(process.hProcess), thread(process.hThread);
        WaitForSingleObject(processHandle.Get(), INFINITE);
        GetExitCodeProcess(processHandle.Get(), &result.exitCode);
    }
    result.output = TestSupport::ReadFile(outputPath);
    DeleteFileA(outputPath.c_str());
    return result;
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    Utils::UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!find) return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.Get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}

CurrentFolderScope::CurrentFolderScope(const std::string& folder) {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    m_previous = previous;
    SetCurrentDirectoryA(folder.c_str());
}

CurrentFolderScope::~CurrentFolderScope() { SetCurrentDirectoryA(m_previous.c_str()); }

ProductKeyScope::ProductKeyScope()
    : m_manager(true, m_key.Name()), m_previous(Utils::g_productKeyManager) {
    Utils::g_productKeyManager = &m_manager;
}

ProductKeyScope::~ProductKeyScope() { Utils::g_productKeyManager = m_previous; }

}  // namespace FilesTest
