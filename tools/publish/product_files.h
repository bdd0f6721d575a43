#pragma once
// The files of the product folder, as the release will list them.
#include <string>
#include <vector>

namespace Publish {

struct ProductFile {
    std::string clientPath;  // "\"-separated, relative to the product folder
    std::string sourcePath;  // where to read it on this machine
};

// Every regular file below folder, sorted by client path. Throws PublishError
// naming the first file that cannot be listed: a name that ClientPathProblem
// refuses, a backslash inside a name, two names that differ only in letter
// case, or anything that is neither a regular file nor a folder (symbolic
// links, and on Windows junctions, are refused rather than followed, so
// nothing outside the folder is published by accident).
std::vector<ProductFile> ListProductFiles(const std::string& folder);

}  // namespace Publish
