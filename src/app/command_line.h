#pragma once
// Interpretation of the updater's command line. Pure functions: no system calls.
#include <windows.h>

#include <string>

namespace App {

// The command line without the program name: the program name ends at the
// first character of code 32 or below outside double quotes; the characters of
// code 32 or below that follow it are skipped too. Null gives "".
std::string GetCommandTail(const char* commandLine);

// Leading white space skipped, an optional sign, then decimal digits up to the
// first non-digit; 0 without digits. Saturates at the 32-bit signed limits.
long ParseLeadingNumber(const std::string& text);

enum class StartForm {
    Normal,             // optional start delay, then an installation or update run
    UninstallLauncher,  // exactly "/uninstall": copy to the temporary folder and start the copy
    UninstallRun        // "/uninstall2[ <pid>]": wait for the launcher, then uninstall
};

struct StartRequest {
    StartForm form = StartForm::Normal;
    DWORD delayMs = 0;            // start delay; a negative number counts as 0
    bool waitForProcess = false;  // true when anything follows "/uninstall2"
    DWORD processId = 0;          // the process to wait for
};

// Classifies a command tail. Comparisons are case-sensitive and byte-exact.
StartRequest ClassifyCommandTail(const std::string& tail);

// temporaryFolder (ending with a backslash) + "UnInstall" + the file name of
// modulePath (the text after its last backslash, or all of it).
std::string MakeUninstallCopyPath(const std::string& temporaryFolder,
                                  const std::string& modulePath);

}  // namespace App
