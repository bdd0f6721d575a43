#pragma once
// The program's entry procedure: prepares the user-interface thread, picks
// the form of the command line and runs the main dialog modally.
#include <windows.h>

namespace App {

// Runs on the process's first thread. Returns the process exit code: 0 for
// the uninstall launcher and for an uninstall run whose launcher cannot be
// opened, otherwise the dialog's result.
int RunEntryProcedure(HINSTANCE instance, const char* commandLine);

}  // namespace App
