#include "uninstall/obsolete_file_sweep.h"

#include <unordered_map>

#include "uninstall/layout_obstacles.h"
#include "uninstall/sweep_rules.h"
#include "utils/reg/reg_manager.h"
#include "utils/string/string_utils.h"
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

EntryKind KindOf(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::None;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::Link;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
}

// The entry at relativePath below folder, as the sweep's enumeration of its
// parent folder would meet it (with its name spelt as on disk).
void SweepOneEntry(const std::string& folder, const std::string& relativePath,
                   const SweepScope& scope) {
    const std::size_t slash = relativePath.rfind('\\');
    const std::string parent = slash == std::string::npos ? "" : relativePath.substr(0, slash);
    const std::string name = relativePath.substr(slash == std::string::npos ? 0 : slash + 1);
    // A wildcard would make the search below find other entries.
    if (name.find_first_of("*?") != std::string::npos) return;
    WIN32_FIND_DATAA found = {};
    Utils::UniqueFindHandle find(::FindFirstFileA((folder + "\\" + relativePath).c_str(), &found));
    if (!find || !Utils::String::EqualsIgnoreCase(found.cFileName, name)) return;
    HandleEntry(parent.empty() ? folder : folder + "\\" + parent, parent, found, scope);
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

void ClearWayForListedFiles(const std::string& folder, const std::string& brand,
                            const std::vector<std::string>& keptPaths,
                            const std::vector<std::string>& placedPaths) {
    if (folder.empty() || brand.empty() || placedPaths.empty()) return;
    const KeptPathSet kept = BuildKeptPathSet(keptPaths);
    const SweepScope scope{brand, kept, Utils::g_productKeyManager};
    // Files share their folders: each folder on the way is looked at once.
    std::unordered_map<std::string, EntryKind> known;
    const EntryKindAt kindAt = [&](const std::string& relativePath) {
        std::string key = relativePath;
        Utils::String::ToLower(key);
        auto found = known.find(key);
        if (found == known.end())
            found = known.emplace(key, KindOf(folder + "\\" + relativePath)).first;
        return found->second;
    };
    for (const std::string& path : placedPaths) {
        const std::string obstacle = FindLayoutObstacle(path, kindAt);
        if (obstacle.empty()) continue;
        SweepOneEntry(folder, obstacle, scope);
        std::string key = obstacle;
        known.erase(Utils::String::ToLower(key));
    }
}

}  // namespace Uninstall
