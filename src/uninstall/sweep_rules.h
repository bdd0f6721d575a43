#pragma once
// What the obsolete-file sweep does with each entry of a folder. Pure
// functions; safe on any thread.
#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

namespace Uninstall {

// A relative path in the form the file system resolves it to: letter case
// folded, "/" read as "\", empty and "." components dropped (so a leading "\"
// or ".\" makes no difference) and trailing blanks and dots of a component
// stripped. Two paths that name the same file give the same text.
std::string NormalizeRelativePath(const std::string& path);

// The paths that the update document lists, normalised, for look-ups that
// stay fast however many files the document lists.
using KeptPathSet = std::unordered_set<std::string>;
KeptPathSet BuildKeptPathSet(const std::vector<std::string>& keptPaths);

enum class SweepAction {
    Leave,                 // ".", "..", a link to a folder, a kept or protected file
    SweepFolder,           // sweep it, then leave it even if empty
    SweepAndRemoveFolder,  // sweep it, then remove it if the sweep emptied it
    DeleteSideFile,        // a transfer's leftover: delete it, record nothing
    DeleteAndRecord,       // a file the document no longer lists
};

struct SweepEntry {
    std::string name;          // as the enumeration returned it
    DWORD attributes;          // FILE_ATTRIBUTE_* of the entry
    std::string fullPath;      // folder + "\" + name
    std::string relativePath;  // below the swept data folder
};

// Only paths that contain the brand and not brand + ".exe" (the updater
// itself) are changed, compared with case. A listed file stays; a transfer's
// side file ("<name>.part", ".partN" with N from 2 up, optionally followed by
// ".Kelz" or ".Kelw") goes without a record; any other file goes with one,
// unless its name contains ".log", ".LOG", ".xml" or ".XML".
SweepAction ClassifySweepEntry(const SweepEntry& entry, const std::string& brand,
                               const KeptPathSet& kept);

}  // namespace Uninstall
