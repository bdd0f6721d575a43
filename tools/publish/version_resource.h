#pragma once
// Whether a Windows executable carries a version resource. Updaters record
// the product executable's version after installing it and count a file
// without one as a failed download, so such a product never installs.
#include <string>

namespace Publish {

// True when image is a PE file whose resource table holds a version entry
// (type 16) with content; false for anything else, a damaged PE included.
bool HasVersionResource(const std::string& image);

}  // namespace Publish
