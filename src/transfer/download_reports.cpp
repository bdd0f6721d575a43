#include "transfer/download_reports.h"

#include "utils/run_reporter.h"

namespace Transfer {

void Report(const std::string& message, int severity) {
    if (RunReporter* dialog = g_mainDialog) dialog->ReportError(message, severity);
}

void ShowStatus(const std::string& text) {
    if (RunReporter* dialog = g_mainDialog) dialog->SetStatusText(text);
}

}  // namespace Transfer
