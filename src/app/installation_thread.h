#pragma once
// The entry of the installation worker thread that the dialog starts.

namespace App {

// Thread function for Utils::MT::StartThread: argument is the dialog's
// DownloadManager. Runs the whole installation and ends the process.
int InstallationThread(void* downloadManager);

}  // namespace App
