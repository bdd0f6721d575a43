#pragma once
// A job object for the processes a test starts. A process in the job takes
// every process it starts into it (the updater's launcher takes the copy it
// starts through the shell), and the job ends them all when it closes, also
// when the test process itself dies: nothing a test starts outlives it.
#include <windows.h>

#include "utils/unique_handle.h"

namespace TestSupport {

class ProcessJob {
public:
    // Creates the job; IsValid() is false when the system refused it.
    ProcessJob();
    bool IsValid() const { return static_cast<bool>(m_job); }

    // Puts process into the job. Start it suspended so that it cannot start
    // anything before it is in. False when the system refused.
    bool Add(HANDLE process) const;
    // Ends every process of the job with exitCode and waits up to timeoutMs
    // until none runs; true when none does.
    bool EndAll(DWORD exitCode, DWORD timeoutMs) const;
    // How many processes of the job still run (0 when that can't be queried).
    DWORD ActiveProcesses() const;

private:
    Utils::UniqueKernelHandle m_job;
};

}  // namespace TestSupport
