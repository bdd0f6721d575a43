#pragma once
// Entries that change kind between the release being replaced and the new
// one: a file that becomes a folder of the same name, or a folder that
// becomes a file. Updaters remove the old entry before they install the new
// one, but never what their sweep keeps: a file whose name contains ".log",
// ".LOG", ".xml" or ".XML", taken for the product's own logs and settings.
#include <ostream>
#include <string>
#include <vector>

#include "product_files.h"

namespace Publish {

struct LayoutChange {
    std::string path;           // as the new release spells it
    bool becameFolder = false;  // false: a folder became a file
    std::string keptOldFile;    // an old listed file that updaters keep in the way, or ""
};

// previous: the client paths of the release being replaced; current: the
// new release's. Paths compare ignoring letter case; sorted by path.
std::vector<LayoutChange> FindLayoutChanges(const std::vector<std::string>& previous,
                                            const std::vector<std::string>& current);

// Warns of the changes that make updaters end every run with their File
// error: an old file that they keep where a folder must go, and a folder
// that becomes a file (certainly when the old release listed a file they
// keep in it, otherwise when the product wrote one there).
void WarnOfLayoutChanges(const std::vector<std::string>& previous,
                         const std::vector<ProductFile>& products, std::ostream& warnings);

}  // namespace Publish
