#pragma once
// Starting the updater (or any program) from a test under Wine, and stamped
// copies of the updater for a test's own brand.
#include <windows.h>

#include <string>

#include "support/process_job.h"
#include "utils/unique_handle.h"

namespace TestSupport {

// A child process that is killed, with every process it started, when the
// object goes away (or when the test process dies).
class ChildProcess {
public:
    static constexpr DWORD kKilled = 0xDEADBEEF;  // exit code after a timeout

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts "exePath" arguments in folder (the current folder when empty).
    bool Start(const std::string& exePath, const std::string& arguments,
               const std::string& folder = "");
    // Starts a whole command line (program name first, quoted as needed) with
    // CreateProcess's creationFlags. False when it did not start in the job.
    bool StartCommandLine(std::string commandLine, const std::string& folder = "",
                          DWORD creationFlags = 0);
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.Get(); }
    bool IsRunning() const;
    // The exit code; kKilled after killing a process still running at the
    // deadline, together with everything it started.
    DWORD WaitForExitCode(DWORD timeoutMs);

private:
    ProcessJob m_job;
    Utils::UniqueKernelHandle m_process;
    DWORD m_id = 0;
};

// Runs a command line to its end; true when it exited with code 0.
bool RunToSuccess(const std::string& commandLine);

// The id of a running process whose executable file name is exeName
// (ignoring letter case), 0 when there is none.
DWORD FindProcessByName(const std::string& exeName);

// The Windows form (Z:\...) of a Linux path.
std::string ToWindowsPath(const std::string& linuxPath);
// %PROJECT_BUILD_DIR% as a Windows path; "" when not set.
std::string GetBuildFolder();
// The built updater, <build>\src\app\Updater.exe.
std::string GetUpdaterPath();

// Build settings to stamp; an empty field keeps the value already in the image.
struct UpdaterStamp {
    std::string brand;
    std::string host;
    std::string downloadId;
    std::string servicePath;
    std::string checksum;
    std::string publicKeyPem;  // a PEM file for --public-key, or "none"
    std::string releaseFloor;  // a number for --release-floor
};

// Writes a copy of the updater to targetPath, stamped with the values exactly
// as given (no hex encoding) by the stamping tool
// (<build>\tools\stamp\stamp.exe). False when the tool is missing or fails.
bool MakeStampedUpdater(const std::string& targetPath, const UpdaterStamp& stamp);

// Deletes HKEY_CURRENT_USER\Software\<brand> with everything below it.
void DeleteProductKey(const std::string& brand);

}  // namespace TestSupport
