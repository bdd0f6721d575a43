#pragma once
// The "/uninstall" form: the program copies itself into the temporary folder
// and starts the copy, which removes the product once this process has ended.
#include <string>

namespace App {

// Copies source to target byte for byte in blocks of 512 bytes (target created
// or truncated). False when either file cannot be opened or a write stalls.
bool CopyFileBytes(const std::string& source, const std::string& target);

// Runs the launcher on the calling thread: delete any old copy, copy, start
// the copy with "/uninstall2 <own pid>" (again with "runas" if the shell
// answers access denied), wait 2000 ms, schedule the copy's deletion at the
// next system start. Failures are not reported; the caller exits with 0.
void RunUninstallLauncher();

}  // namespace App
