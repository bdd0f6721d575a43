#pragma once
// The updater's own entry. An installed updater whose checksum slot differs
// from the entry's CheckSum fetches the entry's ServerRelativePath followed by
// its own download id from the service host, starts it and ends. So every
// download id gets a copy of the given updater stamped with that id, at
// files/updater/<id>, and the entry's CheckSum is the checksum the given
// updater carries.
#include <ostream>
#include <string>
#include <vector>

#include "release_document.h"

namespace Publish {

// The folder below files/ that holds the per-id copies.
extern const char kUpdaterFolder[];

struct PublishedUpdater {
    ListedFile entry;  // Sha256 left empty: it differs between the copies
    // The Sha256 of each copy, in the order of the download ids: the
    // document for an id lists the hash of the copy its updaters fetch.
    std::vector<std::string> copySha256;
};

// Reads updaterExe, writes one copy per download id below filesFolder and
// returns the entry to list. Throws PublishError when the file has no single
// settings block or its checksum slot does not hold 32 hex digits.
PublishedUpdater PublishUpdater(const std::string& updaterExe,
                                const std::vector<std::string>& downloadIds,
                                const std::string& filesFolder);

// Warns when the tree at oldTree serves, for one of the ids, an updater copy
// that differs from the new copy below filesFolder but carries the same
// checksum: installed updaters compare only the checksum, so none of them
// fetches the new one (a new key or host stamped into it never arrives).
void WarnOfUpdaterChangedUnderSameChecksum(const std::string& oldTree,
                                           const std::vector<std::string>& downloadIds,
                                           const std::string& filesFolder, std::ostream& warnings);

}  // namespace Publish
