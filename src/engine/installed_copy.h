#pragma once
// The updater's own installed copy in the program folder and the uninstall
// entry that starts it. Worker thread.
#include <string>

namespace Engine {

// Copies the file at source to target through a side file next to target
// (target + ".part"), which replaces target only when the copy is complete.
// False, with target unchanged and no side file left, when source can't be
// read, the side file can't be written (a full disk, no right to write) or
// the replacement fails.
bool CopyThroughSideFile(const std::string& source, const std::string& target);

// The uninstall command: the program in double quotes (the folder may hold
// blanks), then " /uninstall".
std::string UninstallCommand(const std::string& programPath);

// Writes "DisplayName" := brand and "UninstallString" := UninstallCommand in
// the brand's uninstall entry under the machine root. False when a write fails.
bool RegisterUninstallEntry(const std::string& brand, const std::string& programPath);

}  // namespace Engine
