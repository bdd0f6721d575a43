#pragma once
// The file that a run receives its update document in. Every product's
// updater names it "xml_downloaded_24.xml" in the user's temporary folder, so
// runs of two products at once take turns on that name, from the fetch until
// the document is loaded and the file deleted: one run's document could
// otherwise arrive over the other's between that one's fetch and its load, and
// the other run would install this product's files, or fail on the file the
// other is receiving. A run that does not get its turn soon (the other's fetch
// is slow) receives its document under a name of its own instead.
#include <windows.h>

#include <string>

#include "utils/mt/named_lock.h"

namespace Engine {

class DocumentFileTurn {
public:
    // Waits up to waitMs for the turn on the shared name in tempFolder (which
    // ends with "\"). Runs on the thread that fetches and loads the document;
    // destroy it there once the file is deleted.
    DocumentFileTurn(const std::string& tempFolder, const std::string& brand, DWORD waitMs);

    // The shared name while this run has the turn, else
    // "xml_downloaded_24_" + brand + ".xml", both in the temporary folder.
    const std::string& Path() const { return m_path; }

private:
    Utils::MT::NamedLock m_turn;
    std::string m_path;
};

// The turn's lock: one per temporary folder, letter case ignored.
std::string DocumentTurnLockName(const std::string& tempFolder);

}  // namespace Engine
