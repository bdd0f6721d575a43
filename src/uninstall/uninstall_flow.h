#pragma once
// Removing the product: its registry key, its entry in the list of installed
// programs, its folders and its shortcuts, after one confirmation.
#include <windows.h>

#include <functional>
#include <string>

class RunReporter;

namespace Uninstall {

// Ends the process with an exit code. The dialog's never returns; a test's may.
using ProcessEnd = std::function<void(UINT exitCode)>;

// The whole uninstall, on the dialog's thread, which it blocks. Refuses with
// a fatal report (exit code 1) when brand can't name the product's folder
// ("Failed to uninstall") or when the installed product is running ("Please
// close the application before uninstalling it"). Asks the user; any answer
// but Yes ends with 0 and removes nothing. Otherwise removes everything,
// hides the dialog, says so in a box and ends with 0. Returns only when a
// report or endProcess returned.
void RunUninstallFlow(RunReporter& dialog, const std::string& brand, const ProcessEnd& endProcess);

}  // namespace Uninstall
