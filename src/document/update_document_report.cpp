// The reporting form of the load, kept apart so that programs which only
// read documents need no main dialog.
#include "document/update_document.h"
#include "utils/run_reporter.h"

bool UpdateDocument::LoadAndValidate(const std::string& path, const std::string& publicKey) {
    const LoadStatus status = Load(path, publicKey);
    if (status == LoadStatus::Loaded) return true;
    if (g_mainDialog) g_mainDialog->ReportError(FailureText(status), kFatalSeverity);
    return false;
}
