#include "support/recording_dialog.h"

namespace TestSupport {

RecordingDialog::RecordingDialog() : m_ownerThread(GetCurrentThreadId()), m_previous(g_mainDialog) {
    g_mainDialog = this;
}

RecordingDialog::~RecordingDialog() { g_mainDialog = m_previous; }

void RecordingDialog::SetStatusText(const std::string& text) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_statusTexts.push_back(text);
}

void RecordingDialog::SetProgressText(double percent) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_progressTexts.push_back(percent);
}

void RecordingDialog::SetProgressPos(int controlId, int position) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_progressPositions.emplace_back(controlId, position);
}

void RecordingDialog::ShowProgressBar(int, int) {}
void RecordingDialog::SetSkinUrl(const std::string& url) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_skinUrls.push_back(url);
}

void RecordingDialog::SetWindowTitle(const std::string& title) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_windowTitles.push_back(title);
}

std::vector<std::string> RecordingDialog::SkinUrls() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_skinUrls;
}

std::vector<std::string> RecordingDialog::WindowTitles() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_windowTitles;
}

bool RecordingDialog::IsFirstRun() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_firstRun;
}

void RecordingDialog::SetFirstRun(bool firstRun) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_firstRun = firstRun;
}

void RecordingDialog::ReportError(const std::string& message, int severity) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_errors.emplace_back(message, severity);
    }
    if (severity < kFatalSeverity) return;
    if (GetCurrentThreadId() == m_ownerThread) throw FatalReport{message};
    ExitThread(kEndedThreadExitCode);
}

std::vector<std::string> RecordingDialog::StatusTexts() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_statusTexts;
}

std::vector<double> RecordingDialog::ProgressTexts() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_progressTexts;
}

std::vector<std::pair<int, int>> RecordingDialog::ProgressPositions() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_progressPositions;
}

std::vector<std::pair<std::string, int>> RecordingDialog::Errors() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_errors;
}

std::vector<std::string> RecordingDialog::FatalErrors() const {
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<std::string> fatal;
    for (const auto& [message, severity] : m_errors)
        if (severity >= kFatalSeverity) fatal.push_back(message);
    return fatal;
}

}  // namespace TestSupport
