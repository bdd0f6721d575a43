#pragma once
// One complete run of the installer or updater, on the installation worker:
// fetch and load the update document, write its registry values, prepare the
// folders, replace an outdated updater, classify the listed files, stop a
// windowless running product when there is something to fetch, install this
// updater and its uninstall entry, fetch every changed file, create shortcuts,
// register fonts, run the resource-update program and sweep files that the
// document no longer lists.
#include <string>
#include <vector>

class DownloadManager;

namespace Engine {

// Deletes the product files below dataFolder that keptPaths (the document's
// client paths) no longer lists.
using ObsoleteFileSweep = void (*)(const std::string& dataFolder, const std::string& brand,
                                   const std::vector<std::string>& keptPaths);
// Before the files are fetched: removes, by the sweep's rules, what an
// earlier release left standing where a file of placedPaths (the client
// paths about to be installed) or one of its folders must go.
using LayoutClearance = void (*)(const std::string& dataFolder, const std::string& brand,
                                 const std::vector<std::string>& keptPaths,
                                 const std::vector<std::string>& placedPaths);

// Supplied by the layer that owns the sweep, one above the session. Either may be null.
struct ObsoleteFileHandlers {
    LayoutClearance clearWay = nullptr;
    ObsoleteFileSweep sweep = nullptr;
};

// Runs every step in order on the manager. Every failure it detects is a
// fatal report through the main dialog, which ends the process; it returns
// true when it reaches its end, false only when a fatal report returned
// (no dialog). Worker thread only.
bool InstallSession(DownloadManager& manager, const ObsoleteFileHandlers& obsolete);

// The status label of the document's fetch: an updater that runs from a
// folder named after itself is the installed one checking for updates.
std::string RunLabel(const std::string& moduleFolder, const std::string& moduleBaseName);

// True when clientPath is the decompressor that the document value (its
// CompressFilePath or CompressWAVPath) names: the value itself, or the file
// that unpacking starts for it ("tools\unz" names "tools\unz.exe"), ignoring
// case. Such files are fetched before all others, which need them.
bool IsToolFile(const std::string& clientPath, const std::string& toolValue);

}  // namespace Engine
