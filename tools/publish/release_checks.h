#pragma once
// Checks that join the settings, the product folder and the release tree,
// made before anything is written.
#include <ostream>
#include <string>
#include <vector>

#include "product_files.h"
#include "release_document.h"
#include "release_settings.h"

namespace Publish {

// Refuses an output folder inside the product folder or the other way round:
// a later release would publish the earlier one, or the tree would hold itself.
void CheckSeparateFolders(const std::string& productFolder, const std::string& outFolder);

// Refuses a signing key inside the product folder: it would be published,
// and anyone could sign releases that the updaters accept. "" is no key.
void CheckKeyOutsideProduct(const std::string& productFolder, const std::string& keyPath);

// The document's root values and registry values. product-exe, and
// uninstall-icon and resource-update when given, must name product files
// (compared ignoring letter case, as the updater does); the document carries
// the file's own spelling. Throws PublishError naming the settings line.
ReleaseDocument DocumentRoot(const ReleaseSettings& settings,
                             const std::vector<ProductFile>& products);

// Refuses product files that would meet the decompressors at the data
// folder's root, or the updater's copies under files/updater/.
void RefuseReservedNames(const std::vector<ProductFile>& products,
                         const char* const (&toolNames)[2], bool updaterListed);

// Warns when the product executable carries no version resource: updaters
// then fail its download every time and end each run with a connection
// message. A warning, not a refusal, so that test products without one can
// still be published.
void WarnOfUnversionedProductExe(const ReleaseDocument& document,
                                 const std::vector<ProductFile>& products, std::ostream& warnings);

// Warns of the files that Windows Explorer leaves in folders (Thumbs.db,
// ehthumbs.db, desktop.ini, hidden system files that it does not show): they
// are published like every product file, which their owner rarely means.
void WarnOfExplorerFiles(const std::vector<ProductFile>& products, std::ostream& warnings);

// The longest brand for which the updater can still install clientPath on
// Windows: its file calls take at most 259 characters of full path, and it
// receives each file as C:\Program Files\<brand>\<client path> plus a side
// file ending of up to ".part.Kelz". Below 1 when no brand leaves room.
int LongestBrandFor(const std::string& clientPath);

// Warns of client paths that leave room for a brand of fewer than 32
// characters: updaters then end every run at such a file with their "File
// error" message. A warning, because the tool does not know the brand that
// the updater is stamped with.
void WarnOfLongClientPaths(const std::vector<ProductFile>& products, std::ostream& warnings);

}  // namespace Publish
