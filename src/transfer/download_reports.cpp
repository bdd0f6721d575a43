#include "transfer/download_reports.h"

#include "app/main_dialog_operations.h"

namespace Transfer {

void Report(const std::string& message, int severity) {
    if (MainDialogOperations* dialog = g_mainDialog) dialog->ReportError(message, severity);
}

void ShowStatus(const std::string& text) {
    if (MainDialogOperations* dialog = g_mainDialog) dialog->SetStatusText(text);
}

}  // namespace Transfer
