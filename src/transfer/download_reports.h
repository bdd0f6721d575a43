#pragma once
// The texts that fetching files reports to the user, and the one way they
// are reported. A severity below 4 is dropped by the dialog; 4 or more ends
// the run and does not return.
#include <string>

#include "utils/run_reporter.h"

namespace Transfer {

constexpr char kConnectFailedText[] =
    "Failed to connect to the update server, if the problem persists, please download again.";
constexpr char kServerMaintenanceText[] = "Server maintenance - download failed: ";
constexpr char kSizeErrorText[] = " - File size error, please try again";
constexpr char kExtractErrorText[] =
    " - Could not extract the file, please uninstall and try again";
constexpr char kContentHashErrorText[] = " - File content error, please try again";
constexpr char kVersionErrorText[] = " - File version error, please try again";
// The dash is byte 0x96, an en dash in the Western code page.
constexpr char kFileErrorText[] = " File error \x96 please restart your computer and try again";
constexpr char kWriteErrorText[] = "Error in connection 1";
constexpr char kCancelledText[] = "Error in connection 2";
constexpr char kGettingFilePrefix[] = "Getting file: ";
constexpr char kUnzippingPrefix[] = "Unzipping: ";

// Passes the report to the main dialog (nothing happens without one).
void Report(const std::string& message, int severity);
// Sets the dialog's status line (nothing happens without a dialog).
void ShowStatus(const std::string& text);

}  // namespace Transfer
