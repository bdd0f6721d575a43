#pragma once
// File system and special folders. Paths are single-byte strings with
// backslashes. Nothing throws; failures give false, "" or empty lists.
#include <windows.h>

#include <string>
#include <vector>

namespace Utils {
namespace File {

DWORD GetAttributes(const std::string& path);
bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsFile(const std::string& path);
// From the last "." to the end, dot included; "" without a ".".
std::string GetExtension(const std::string& path);
std::string& StripExtension(std::string& path);
bool Move(const std::string& source, const std::string& target);
// An empty path yields true without touching anything.
bool Delete(const std::string& path);
// Absolute, lower case, backslashes only, no doubled or trailing backslash.
// A relative path is taken against base, or the current folder when base is "".
std::string NormalizePath(const std::string& path, const std::string& base);
// Appends every entry below folder (each folder before its contents).
void FindFiles(std::vector<std::string>& list, const std::string& folder, bool recurse,
               bool includeFolders, bool clearFirst);
// Removes the folder with everything below it, for good. A junction or
// symbolic link (the folder itself or any entry below it) is removed as a
// link; its target is never entered. Does nothing unless CanDeleteTree.
void DeleteTree(const std::string& folder);
// True when DeleteTree would act on folder: it normalises to a path with a
// drive letter and at least one folder below the drive's root, and it does
// not start with a slash ("\x", shares and "\\?\" or "\\.\" device paths
// have no drive of their own and would be taken below the current folder).
bool CanDeleteTree(const std::string& folder);
// Creates the last level of the path only.
void CreateFolder(const std::string& path);
std::string GetModulePath(bool fileNameOnly, bool dropExtension, bool folderOnly);
// The shell's special folder by CSIDL number, without a trailing backslash.
std::string GetSpecialFolder(int csidl);

}  // namespace File
}  // namespace Utils
