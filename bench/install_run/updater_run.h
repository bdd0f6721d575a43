#pragma once
// One run of a program (the stamped updater) as a child process, timed to
// its end, with its peak working set and, on request, the moments its
// dialog showed the full bar and the closing status.
#include <windows.h>

#include <string>

namespace InstallBench {

struct RunResult {
    double wallSeconds = 0;  // start to exit
    DWORD exitCode = 0;
    bool started = false;
    // Largest PeakWorkingSetSize read while the process ran, and the value
    // read after it ended (-1 when the system no longer reports it).
    double peakWhileRunningMb = 0;
    double peakAfterExitMb = -1;
    // Seconds since the start when the dialog was first seen with that state
    // (watching only; -1: not seen).
    double dialogShown = -1;
    double barFull = -1;
    double finishedShown = -1;
    std::string messageBoxText;  // a message box the run showed (answered with OK)
};

struct RunRequest {
    std::string exePath;
    std::string folder;  // the child's current folder
    bool watchDialog = false;
    bool withOutput = false;  // standard handles on the NUL device instead of none
    DWORD timeoutMs = 15 * 60 * 1000;
};

// Waits until no process runs whose executable file name is exeName
// (ignoring case); false when one still runs after timeoutMs.
bool WaitForProgramToEnd(const std::string& exeName, DWORD timeoutMs);

// Starts the program and waits for its end.
RunResult RunChild(const RunRequest& request);

}  // namespace InstallBench
