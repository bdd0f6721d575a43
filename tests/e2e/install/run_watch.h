#pragma once
// Watching an updater process from outside while it runs, and ending the
// processes that a run may leave behind.
#include <windows.h>

#include <string>
#include <vector>

namespace InstallE2E {

struct MessageBoxSeen {
    std::string caption;
    std::string text;
};

// What one run showed until it ended.
struct RunOutcome {
    DWORD exitCode = 0;
    std::vector<std::string> titles;    // the dialog's titles, in the order seen
    std::vector<std::string> statuses;  // the status line's texts, in the order seen
    std::vector<MessageBoxSeen> boxes;  // every message box, each answered with OK

    bool SawTitle(const std::string& title) const;
    bool SawStatus(const std::string& status) const;
};

// Polls the top-level windows of the process every few milliseconds until
// it ends: records the main dialog's title and status line (control 1004)
// whenever they change, and answers every message box with OK after reading
// it; a box with an answer button (IDYES, IDNO) is answered with that one.
// A process still running after timeoutMs is terminated (exit code
// TestSupport::ChildProcess::kKilled).
RunOutcome WatchRun(HANDLE process, DWORD processId, DWORD timeoutMs, int answer = IDOK);

// Terminates every other process whose image path begins with one of the
// prefixes (ignoring letter case and doubled backslashes) and waits for it.
// A folder prefix should end with "\".
void EndProcessesUnder(const std::vector<std::string>& prefixes);

}  // namespace InstallE2E
