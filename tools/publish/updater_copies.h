#pragma once
// The updater's own entry. An installed updater whose checksum slot differs
// from the entry's CheckSum fetches the entry's ServerRelativePath followed by
// its own download id from the service host, starts it and ends. So every
// download id gets a copy of the given updater stamped with that id, at
// files/updater/<id>, and the entry's CheckSum is the checksum the given
// updater carries.
#include <cstdint>
#include <optional>
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

// What the release needs of the updater it lists.
struct UpdaterTerms {
    // The signing key's public key (64 bytes X || Y); "" for an unsigned
    // release. A keyed updater hands over only to an updater with a key,
    // and the new one must take the release's signature.
    std::string documentKey;
    // Written into every copy as its release floor (a signed release's
    // number), so that a copy handed out for first installations refuses
    // older releases; none for an unsigned release.
    std::optional<std::uint64_t> releaseFloor;
};

// Reads updaterExe, writes one copy per download id below filesFolder and
// returns the entry to list. Throws PublishError when the file has no single
// settings block, its checksum slot does not hold 32 hex digits, or it
// carries another document key than terms.documentKey (none included).
// Warns when it has no release floor block to write terms.releaseFloor to.
PublishedUpdater PublishUpdater(const std::string& updaterExe,
                                const std::vector<std::string>& downloadIds,
                                const std::string& filesFolder, const UpdaterTerms& terms,
                                std::ostream& warnings);

// Warns when the tree at oldTree serves, for one of the ids, an updater copy
// that differs from the new copy below filesFolder (other than in its release
// floor) but carries the same checksum: installed updaters compare only the
// checksum, so none of them fetches the new one (a new key or host stamped
// into it never arrives).
void WarnOfUpdaterChangedUnderSameChecksum(const std::string& oldTree,
                                           const std::vector<std::string>& downloadIds,
                                           const std::string& filesFolder, std::ostream& warnings);

}  // namespace Publish
