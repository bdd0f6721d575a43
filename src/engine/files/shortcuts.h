#pragma once
// Shortcut files made through the shell's link object.
#include <string>

namespace Engine {

// Saves folder\name.lnk pointing at target, where folder is the special
// folder csidl, or its subfolder (created when missing) when subfolder isn't
// empty. Icon (index 0) and arguments are set only when not empty. Nothing
// happens when name or target is empty. Returns whether the shortcut was
// saved; callers may ignore it. Any thread: COM is initialised for the call
// when the thread hasn't done so.
bool CreateShortcut(int csidl, const std::string& target, const std::string& name,
                    const std::string& iconPath, const std::string& subfolder,
                    const std::string& arguments);

}  // namespace Engine
