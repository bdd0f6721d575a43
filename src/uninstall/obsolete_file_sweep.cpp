#include "uninstall/obsolete_file_sweep.h"

#include "uninstall/sweep_rules.h"
#include "utils/reg/reg_manager.h"
#include "utils/unique_handle.h"

namespace Uninstall {
namespace {

constexpr char kInstalledSubkey[] = "Installed";
constexpr char kDeletedMark[] = "deleted";

struct SweepScope {
    const std::string& brand;
    const KeptPathSet& kept;
    const Utils::RegManager* productKey;
};

DWORD SweepFolder(const std::string& folder, const std::string& relativePrefix,
                  const SweepScope& scope);

std::string ChildPath(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "\\" + name;
}

// A read-only mark (a product may set it on its files) does not keep a file
// from the sweep: the mark is cleared first, and put back when the file
// still can't be deleted (one in use).
bool DeleteSweptFile(const std::string& path, DWORD attributes) {
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL)) return false;
    if (::DeleteFileA(path.c_str())) return true;
    if (readOnly) ::SetFileAttributesA(path.c_str(), attributes);
    return false;
}

// Relative paths take the form the document gives them ("app.dll",
// "sub\b.dll"): a file's record must overwrite the checksum that the
// download recorded under its client path, or a file listed again later
// would be taken for installed and never fetched.
void HandleEntry(const std::string& folder, const std::string& relativePrefix,
                 const WIN32_FIND_DATAA& found, const SweepScope& scope) {
    const std::string name = found.cFileName;
    const SweepEntry entry{name, found.dwFileAttributes, folder + "\\" + name,
                           ChildPath(relativePrefix, name)};
    switch (ClassifySweepEntry(entry, scope.brand, scope.kept)) {
        case SweepAction::Leave:
            break;
        case SweepAction::SweepFolder:
            SweepFolder(entry.fullPath, entry.relativePath, scope);
            break;
        case SweepAction::SweepAndRemoveFolder:
            SweepFolder(entry.fullPath, entry.relativePath, scope);
            ::RemoveDirectoryA(entry.fullPath.c_str());  // fails unless emptied; that is fine
            break;
        case SweepAction::DeleteSideFile:
            ::DeleteFileA(entry.fullPath.c_str());
            break;
        case SweepAction::DeleteAndRecord:
            // Without a record the next run would take a relisted file for
            // installed, so a file is deleted only where it can be recorded,
            // and recorded only when it is really gone.
            if (scope.productKey && DeleteSweptFile(entry.fullPath, entry.attributes))
                scope.productKey->SetStringValue(entry.relativePath, kDeletedMark, true,
                                                 kInstalledSubkey);
            break;
    }
}

DWORD SweepFolder(const std::string& folder, const std::string& relativePrefix,
                  const SweepScope& scope) {
    WIN32_FIND_DATAA found = {};
    Utils::UniqueFindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find) return 0;
    do {
        HandleEntry(folder, relativePrefix, found, scope);
    } while (::FindNextFileA(find.Get(), &found));
    return ::GetLastError();
}

}  // namespace

DWORD SweepObsoleteFiles(const std::string& folder, const std::string& brand,
                         const std::vector<std::string>& keptPaths,
                         const std::string& relativePrefix) {
    // An empty folder would sweep the current drive's root, and an empty
    // brand would be found in every path.
    if (folder.empty() || brand.empty()) return 0;
    const KeptPathSet kept = BuildKeptPathSet(keptPaths);
    return SweepFolder(folder, relativePrefix, SweepScope{brand, kept, Utils::g_productKeyManager});
}

}  // namespace Uninstall
