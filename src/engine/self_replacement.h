#pragma once
// Replacing this updater with the one that the update document lists.
// Worker thread.
#include <string>

#include "transfer/download_manager.h"

namespace Engine {

// The document's entry of the updater itself.
struct UpdaterEntry {
    std::string serverPath;
    std::string checkSum;
    ExpectedHashes hashes;  // of the new updater's image ("" for none)
};

// What a run needs to fetch and start a newer updater.
struct UpdaterSource {
    std::string tempFolder;       // as the system gives it, ending with "\"
    std::string updaterFileName;  // brand + ".exe"
    std::string downloadId;       // decoded
};

// Where the newer updater is received: the temporary folder, "\Install" and
// the updater file name (a file named "Install<brand>.exe" in that folder).
std::string TemporaryUpdaterPath(const UpdaterSource& source);

// Deletes the file at TemporaryUpdaterPath when there is one, ignoring
// failure. For the installed copy, which the newer updater has copied itself
// over: that updater takes the brand's run lock before it changes anything
// and holds it to its end, so while this run holds the lock it has either
// ended or not yet begun its run. In the second case it is still running
// from the file, which the system then refuses to delete, and it goes on.
void RemoveTemporaryUpdater(const UpdaterSource& source);

// Nothing happens when this build's checksum equals the entry's (ignoring
// case). Otherwise the newer updater is fetched once (and must match the
// entry's hashes where it has them, be a program image, and carry a document
// key when this updater carries one); a failed fetch
// shows the "not synced" box and returns, so the run goes on. A fetched one is
// started with "4000" (again with "runas" when refused with access denied)
// and this process ends with 0: this function then never returns.
void ReplaceUpdaterIfOutdated(DownloadManager& manager, const UpdaterEntry& entry,
                              const UpdaterSource& source);

}  // namespace Engine
