#pragma once
// One release: from a product folder and a settings file to a release tree
//   <out>/documents/<download id>      the update document, once per id
//   <out>/files/<client path>[.Kelz|.Kelw]
//   <out>/files/updater/<download id>  the updater, when one is listed
// written beside <out> and moved into place only when complete.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace Publish {

struct ReleaseOptions {
    std::string settingsPath;
    std::string productFolder;
    std::string toolsFolder;  // empty: the settings file's "tools"
    std::string updaterExe;   // empty: the settings file's "updater" (optional)
    std::string outFolder;
    std::string signingKey;     // empty: the settings file's "signing-key" (optional)
    std::string releaseNumber;  // empty: the settings file's "release-number"
    std::string oldSigningKey;  // during a key change, the key being retired (optional)
    bool replaceExisting = false;
    int zstdLevel = 0;  // 0: the codec's default
};

struct ReleaseSummary {
    std::size_t listedFiles = 0;  // every UpdateFile entry of the document
    std::size_t packedFiles = 0;  // product files served as .Kelz or .Kelw
    std::uint64_t sourceBytes = 0;
    std::uint64_t servedBytes = 0;               // every file of the tree but the documents
    std::optional<std::uint64_t> releaseNumber;  // set when the documents are signed
};

// Writes the release. With a signing key (and then a release number, which
// is refused without one) each document carries ReleaseNumber and is signed;
// with an old signing key too, it is signed again by that one, over the
// first signature, for updaters that still carry the old key.
// Progress lines go to progress. Throws PublishError (nothing is then left at
// or beside outFolder).
ReleaseSummary BuildRelease(const ReleaseOptions& options, std::ostream& progress);

}  // namespace Publish
