#include "uninstall/sweep_rules.h"

#include "utils/string/string_utils.h"

namespace Uninstall {
namespace {

const std::string kSideMark = ".part";
const std::string kPackedExtensions[] = {".Kelz", ".Kelw"};

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "" or a number from 2 up without leading zeros: the transfer counts side
// names ".part", ".part2", ".part3" ...
bool IsSideNumber(const std::string& digits) {
    if (digits.empty()) return true;
    if (digits == "1" || digits[0] < '1' || digits[0] > '9') return false;
    return digits.find_first_not_of("0123456789") == std::string::npos;
}

// The product's own logs and settings files are never swept: the document
// does not list them because the product writes them itself.
bool HasProtectedNameMark(const std::string& name) {
    for (const char* mark : {".log", ".LOG", ".xml", ".XML"}) {
        if (name.find(mark) != std::string::npos) return true;
    }
    return false;
}

// The decompressors write "<output>.~<process id>.tmp" and rename it to their
// output when done; a run stopped while one unpacked leaves that name behind.
// Returns the output name, or the name unchanged when it is not of that form.
std::string WithoutUnpackerSuffix(const std::string& name) {
    const std::string tail = ".tmp";
    if (!EndsWith(name, tail)) return name;
    const std::size_t mark = name.rfind(".~");
    const std::size_t digitsEnd = name.size() - tail.size();
    if (mark == std::string::npos || mark + 2 >= digitsEnd) return name;
    const std::string digits = name.substr(mark + 2, digitsEnd - mark - 2);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return name;
    return name.substr(0, mark);
}

// The names that a transfer gives the side file it writes next to the file
// it replaces, until the file is moved into place, and the unpacker's
// temporary name of a side file.
bool IsTransferSideFile(const std::string& name) {
    std::string stem = WithoutUnpackerSuffix(name);
    for (const std::string& packed : kPackedExtensions) {
        if (EndsWith(stem, packed)) {
            stem.erase(stem.size() - packed.size());
            break;
        }
    }
    const std::size_t mark = stem.rfind(kSideMark);
    return mark != std::string::npos && mark > 0 &&
           IsSideNumber(stem.substr(mark + kSideMark.size()));
}

bool IsSweepablePath(const std::string& fullPath, const std::string& brand) {
    return !brand.empty() && fullPath.find(brand) != std::string::npos &&
           fullPath.find(brand + ".exe") == std::string::npos;
}

}  // namespace

std::string NormalizeRelativePath(const std::string& path) {
    std::string normalized;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(start, end - start);
        const std::size_t last = component.find_last_not_of(". ");
        // A component of dots only ("..." ) is left as it stands.
        if (last != std::string::npos) component.erase(last + 1);
        if (!component.empty() && component != ".") {
            if (!normalized.empty()) normalized += '\\';
            normalized += component;
        }
        start = end + 1;
    }
    return Utils::String::ToLower(normalized);
}

KeptPathSet BuildKeptPathSet(const std::vector<std::string>& keptPaths) {
    KeptPathSet kept;
    kept.reserve(keptPaths.size());
    for (const std::string& path : keptPaths) kept.insert(NormalizeRelativePath(path));
    return kept;
}

SweepAction ClassifySweepEntry(const SweepEntry& entry, const std::string& brand,
                               const KeptPathSet& kept) {
    const bool sweepable = IsSweepablePath(entry.fullPath, brand);
    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A junction or symbolic link leads out of the product's folders:
        // neither its contents nor the link itself are the sweep's to remove.
        if (entry.name == "." || entry.name == ".." ||
            (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return SweepAction::Leave;
        return sweepable ? SweepAction::SweepAndRemoveFolder : SweepAction::SweepFolder;
    }
    if (!sweepable || kept.count(NormalizeRelativePath(entry.relativePath)) != 0)
        return SweepAction::Leave;
    // Side files are the updater's own, so they go even where the name marks
    // a log or settings file ("config.xml.part"); they were never installed,
    // so there is no record to update.
    if (IsTransferSideFile(entry.name)) return SweepAction::DeleteSideFile;
    if (HasProtectedNameMark(entry.name)) return SweepAction::Leave;
    return SweepAction::DeleteAndRecord;
}

}  // namespace Uninstall
