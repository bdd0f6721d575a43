#include "support/updater_process.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace TestSupport {
namespace {

// How long ending a job's processes may take.
constexpr DWORD kEndTimeoutMs = 5000;

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

// Also ends what the child started and left running, such as the updater's
// copy that a launcher started and that still waits for it.
ChildProcess::~ChildProcess() { m_job.EndAll(kKilled, kEndTimeoutMs); }

bool ChildProcess::Start(const std::string& exePath, const std::string& arguments,
                         const std::string& folder) {
    return StartCommandLine(Quote(exePath) + (arguments.empty() ? "" : " " + arguments), folder);
}

bool ChildProcess::StartCommandLine(std::string commandLine, const std::string& folder,
                                    DWORD creationFlags) {
    if (!m_job.IsValid()) return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE,
                          creationFlags | CREATE_SUSPENDED, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return false;
    Utils::UniqueKernelHandle thread(info.hThread);
    m_process.Reset(info.hProcess);
    m_id = info.dwProcessId;
    if (!m_job.Add(m_process.Get())) {
        ::TerminateProcess(m_process.Get(), kKilled);
        m_process.Reset();
        m_id = 0;
        return false;
    }
    ::ResumeThread(thread.Get());
    return true;
}

bool ChildProcess::IsRunning() const {
    return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::WaitForExitCode(DWORD timeoutMs) {
    if (!m_process) return kKilled;
    if (::WaitForSingleObject(m_process.Get(), timeoutMs) == WAIT_TIMEOUT) {
        m_job.EndAll(kKilled, kEndTimeoutMs);
        return kKilled;
    }
    DWORD code = kKilled;
    ::GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

bool RunToSuccess(const std::string& commandLine) {
    ChildProcess process;
    return process.StartCommandLine(commandLine) && process.WaitForExitCode(INFINITE) == 0;
}

DWORD FindProcessByName(const std::string& exeName) {
    Utils::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry)) {
        if (::lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0) return entry.th32ProcessID;
    }
    return 0;
}

std::string ToWindowsPath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string GetBuildFolder() {
    const char* folder = std::getenv("PROJECT_BUILD_DIR");
    return folder != nullptr && *folder != '\0' ? ToWindowsPath(folder) : "";
}

std::string GetUpdaterPath() { return GetBuildFolder() + "\\src\\app\\Updater.exe"; }

bool MakeStampedUpdater(const std::string& targetPath, const UpdaterStamp& stamp) {
    const std::vector<std::pair<const char*, const std::string*>> options = {
        {"--brand", &stamp.brand},
        {"--host", &stamp.host},
        {"--download-id", &stamp.downloadId},
        {"--service-path", &stamp.servicePath},
        {"--checksum", &stamp.checksum},
        {"--public-key", &stamp.publicKeyPem},
        {"--release-floor", &stamp.releaseFloor},
    };
    std::string arguments = Quote(GetUpdaterPath());
    for (const auto& option : options) {
        if (!option.second->empty())
            arguments += std::string(" ") + option.first + " " + Quote(*option.second);
    }
    // Values go in as given: tests choose plain or hex-encoded slot texts themselves.
    arguments += " --raw --output " + Quote(targetPath);
    ::DeleteFileA(targetPath.c_str());
    ChildProcess tool;
    if (!tool.Start(GetBuildFolder() + "\\tools\\stamp\\stamp.exe", arguments)) return false;
    return tool.WaitForExitCode(30000) == 0;
}

void DeleteProductKey(const std::string& brand) {
    if (brand.empty()) return;  // never the whole Software key
    const std::string path = "Software\\" + brand;
    ::RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace TestSupport
