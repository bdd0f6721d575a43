#pragma once
// The product's folders: choosing and creating them, and creating the
// folders of relative paths below the current folder.
#include <string>

namespace Engine {

// True when name can stand for one folder below another: not empty, not "."
// or "..", and without "\", "/" or ":".
bool IsSingleFolderName(const std::string& name);

// True when the product folder goes under the local application data folder:
// only when asked for and only on Windows 6.0.
bool UsesLocalAppData(bool requested, unsigned majorVersion, unsigned minorVersion);

// Creates (when missing) the brand's folder under the program files folder,
// or under the local application data folder on Windows 6.0 when
// useLocalAppData, makes it the current folder and returns it. A brand that
// is empty or not a single folder name gives "" and changes nothing; a
// folder that can't be created or made current gives "".
// Session thread only: it changes the process's current folder.
std::string PrepareInstallFolder(const std::string& brand, bool useLocalAppData);

// The process's current folder; "" on failure.
std::string GetCurrentFolder();

// The shell's folder for a CSIDL number, never with a trailing backslash.
// When the shell can't give it: "C:\Program Files" for CSIDL_PROGRAM_FILES,
// "" for any other number.
std::string GetSpecialFolderPath(int csidl);

// Creates every missing folder on the way to the file named by path (not the
// last component). "\\" counts as "\" and "/" as "\". Failures are ignored.
// Safe on any thread.
void CreateFolderTree(const std::string& path);

}  // namespace Engine
