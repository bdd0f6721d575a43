#pragma once
// Which paths from the update document may be used below the product's
// folders. The document arrives over plain HTTP, so none of its paths may be
// allowed to name a file anywhere else. Pure function; safe on any thread.
#include <string>

namespace DocumentPathRules {

// False for a path that could reach outside the folder it is relative to:
// one that starts with a separator (rooted, UNC "\\server", device "\\?\"
// or "\\.\"), contains a ':' anywhere (drive letters, alternate data
// streams), has a ".." component between either kind of separator, or has a
// component that the system takes for a device (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9 in any letter case, with or without an extension). Trailing blanks
// of a component, and of a device name before its extension, are ignored
// because the system strips them. The empty path is allowed ("none").
bool IsContainedRelativePath(const std::string& path);

}  // namespace DocumentPathRules
