#pragma once
// The "Installed" records of the product key, read in one pass: one string
// value per installed file, named by its client path, holding the checksum
// of the installed copy.
#include <string>
#include <unordered_map>
#include <vector>

namespace Utils {
class RegManager;
}

namespace Engine {

class InstalledRecords {
public:
    // Reads every string value of the "Installed" subkey of productKey's key.
    // Nothing is read (every file counts as not installed) when it is absent.
    explicit InstalledRecords(const Utils::RegManager& productKey);

    // The recorded checksum of clientPath ("" when none); names are compared
    // ignoring letter case, as the registry does.
    std::string Get(const std::string& clientPath) const;
    // True when the file needs no fetch: its record holds the document's
    // checksum and the file is there, relative to the current folder (a
    // missing file, or a folder in its place, is fetched again whatever its
    // record says). A position without a client path and a checksum is
    // never fetched.
    bool IsUpToDate(const std::string& clientPath, const std::string& checkSum) const;
    std::size_t Count() const { return m_values.size(); }
    // Every recorded client path, in lower case.
    std::vector<std::string> ClientPaths() const;

private:
    std::unordered_map<std::string, std::string> m_values;  // lower-case name -> data
};

}  // namespace Engine
