#pragma once
// The end of an installing run: the body of the installation worker.
#include <string>

#include "engine/install_session.h"

class DownloadManager;

namespace Engine {

// Longest product path that is started; a longer one counts as missing.
constexpr std::size_t kMaxProductPath = 511;

// Runs the installation session, then says "Finished updating successfully",
// starts the installed product in its folder and ends the process with 0.
// A product that can't be started makes the next run fetch every file again
// (its "Installed" records are forgotten). A session that fails, also by an
// escaped exception, ends with the fatal "Update failed, please try again
// later." Never returns. Worker thread only.
[[noreturn]] void CompleteRun(DownloadManager& manager, const ObsoleteFileHandlers& obsolete);

// True when the product can be started: a name, a path of at most
// kMaxProductPath characters, and an existing file there.
bool IsStartableProduct(const std::string& productExeName, const std::string& productPath);

}  // namespace Engine
