#pragma once
// Removes the product files that the current update document no longer
// lists, so that files dropped from the product do not stay behind.
#include <windows.h>

#include <string>
#include <vector>

namespace Uninstall {

// Sweeps folder (absolute, without a trailing backslash) and its subfolders,
// deleting the files that keptPaths (the document's client paths, compared
// as the file system compares paths) no longer list; see ClassifySweepEntry
// for the files that are never touched. Each deleted file is recorded as
// "deleted" in the product key's "Installed" subkey (Utils::g_productKeyManager;
// without one only transfer side files are deleted), named by its path below
// the data folder in the form the document uses: "app.dll", "sub\b.dll".
// Only files really deleted are recorded. Subfolders that the sweep empties
// are removed; links to folders are neither entered nor removed.
// relativePrefix is folder's path below the data folder, "" at the top.
// Returns the error code that ended the enumeration of folder
// (ERROR_NO_MORE_FILES normally), or 0 when folder could not be enumerated or
// folder or brand is empty. Worker thread; nothing else writes the folder.
DWORD SweepObsoleteFiles(const std::string& folder, const std::string& brand,
                         const std::vector<std::string>& keptPaths,
                         const std::string& relativePrefix);

// Clears the way for placedPaths, the client paths about to be installed
// below folder: an entry of the other kind standing where one of them must
// go (a file where a folder of its path belongs, a folder where the file
// belongs; see FindLayoutObstacle) gets the sweep's treatment now instead of
// at the end of the run, so that a release in which a file became a folder
// or a folder became a file can be installed. Nothing goes that the sweep
// would keep: a kept or protected obstacle stays (a folder with whatever the
// sweep keeps in it), and installing the file then fails as before. Same
// arguments, records and thread as SweepObsoleteFiles; does nothing when
// folder or brand is empty.
void ClearWayForListedFiles(const std::string& folder, const std::string& brand,
                            const std::vector<std::string>& keptPaths,
                            const std::vector<std::string>& placedPaths);

}  // namespace Uninstall
