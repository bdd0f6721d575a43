#pragma once
// A main dialog for tests: records every call and installs itself as the main
// dialog pointer for its lifetime. A fatal report (severity 4 or more) is
// recorded and then, like the real dialog, never returns: on the thread that
// created the recorder it throws FatalReport, on any other thread it ends
// that thread with exit code 1000.
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "utils/run_reporter.h"

namespace TestSupport {

struct FatalReport {
    std::string message;
};

class RecordingDialog : public RunReporter {
public:
    static constexpr DWORD kEndedThreadExitCode = 1000;

    RecordingDialog();
    ~RecordingDialog() override;
    RecordingDialog(const RecordingDialog&) = delete;
    RecordingDialog& operator=(const RecordingDialog&) = delete;

    void SetStatusText(const std::string& text) override;
    void SetProgressText(double percent) override;
    void SetProgressPos(int controlId, int position) override;
    void ShowProgressBar(int controlId, int maximum) override;
    void SetSkinUrl(const std::string& url) override;
    bool IsFirstRun() override;
    void ReportError(const std::string& message, int severity) override;
    void SetWindowTitle(const std::string& title) override;
    HWND GetDialogWindow() const override { return nullptr; }

    void SetFirstRun(bool firstRun);

    // Copies of what was recorded so far, in call order.
    std::vector<std::string> StatusTexts() const;
    std::vector<double> ProgressTexts() const;
    std::vector<std::pair<int, int>> ProgressPositions() const;  // (control, position)
    std::vector<std::pair<std::string, int>> Errors() const;     // (message, severity)
    std::vector<std::string> FatalErrors() const;                // severity >= 4 only
    std::vector<std::string> SkinUrls() const;
    std::vector<std::string> WindowTitles() const;

private:
    mutable std::mutex m_lock;
    DWORD m_ownerThread;
    RunReporter* m_previous;
    bool m_firstRun = true;
    std::vector<std::string> m_statusTexts;
    std::vector<double> m_progressTexts;
    std::vector<std::pair<int, int>> m_progressPositions;
    std::vector<std::pair<std::string, int>> m_errors;
    std::vector<std::string> m_skinUrls;
    std::vector<std::string> m_windowTitles;
};

}  // namespace TestSupport
