#pragma once
// Reads back a shortcut (.lnk) file as the shell stores it.
#include <string>

namespace TestSupport {

struct LinkContents {
    bool loaded = false;
    std::string target, arguments, icon;
    int iconIndex = -1;
};

// The target (raw, as saved), arguments and icon location of the shortcut
// file; loaded is false when it can't be read. Initialises COM on the calling
// thread for the call when it has none.
LinkContents ReadLink(const std::string& file);

}  // namespace TestSupport
