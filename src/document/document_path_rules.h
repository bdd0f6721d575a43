#pragma once
// Which paths from the update document may be used below the product's
// folders. The document arrives over plain HTTP, so none of its paths may be
// allowed to name a file anywhere else. Pure function; safe on any thread.
#include <string>

namespace DocumentPathRules {

// False for a path that could reach outside the folder it is relative to:
// one that starts with a separator (rooted, UNC "\\server", device "\\?\"
// or "\\.\"), contains a ':' anywhere (drive letters, alternate data
// streams), or has a ".." component between either kind of separator.
// Trailing blanks of a component are ignored for that test because the
// system strips them. The empty path is allowed ("none").
bool IsContainedRelativePath(const std::string& path);

}  // namespace DocumentPathRules
