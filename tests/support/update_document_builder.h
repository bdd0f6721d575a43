#pragma once
// Builds the text of an update document for tests and publisher tools:
//
//   UpdateDocumentBuilder doc;
//   doc.Root("ProductExePath", "bin\\app.exe").Root("FilesServer", "127.0.0.5");
//   doc.AddFile({"/files/app.exe", "bin\\app.exe", "0123...", 4096});
//   doc.AddRegistry({"Settings", "Color", "blue", "true"});
//   doc.WriteTo(folder / "update.xml");
//
// Root attributes keep the order of their first setting; a second setting of
// the same name replaces the value. Values are escaped for XML; other bytes
// are written as they stand, in a document declared as windows-1252.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

struct DocumentFile {
    std::string serverRelativePath;
    std::string clientRelativePath;
    std::string checkSum;
    int64_t size = 0;
    bool isCompressed = false;
};

struct DocumentRegistryValue {
    std::string path;
    std::string key;
    std::string value;
    std::string isOverride = "true";
};

class UpdateDocumentBuilder {
public:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    // A document that the updater accepts: IsSucceed="true".
    UpdateDocumentBuilder();

    UpdateDocumentBuilder& Root(const std::string& name, const std::string& value);
    // Leaves the root attribute out entirely.
    UpdateDocumentBuilder& RemoveRoot(const std::string& name);

    // sha256: written as the Sha256 attribute when not empty.
    UpdateDocumentBuilder& AddFile(const DocumentFile& file, const std::string& sha256 = "");
    // An UpdateFile element with exactly these attributes (odd values, omissions).
    UpdateDocumentBuilder& AddFileAttributes(const Attributes& attributes);
    // Verbatim markup placed among the UpdateFile elements, e.g. "<Note/>".
    UpdateDocumentBuilder& AddFileMarkup(const std::string& markup);
    UpdateDocumentBuilder& AddRegistry(const DocumentRegistryValue& value);
    // A Registry element with exactly these attributes (omissions).
    UpdateDocumentBuilder& AddRegistryAttributes(const Attributes& attributes);
    // Without UpdateFiles / UpdateRegistry when nothing was added (default: written, maybe empty).
    UpdateDocumentBuilder& OmitEmptyGroups(bool omit = true);

    std::string Build() const;
    // Writes Build() to the path, creating missing folders. False on failure.
    bool WriteTo(const std::string& path) const;

private:
    Attributes m_root;
    std::vector<std::string> m_fileMarkup;
    std::vector<std::string> m_registryMarkup;
    bool m_omitEmptyGroups = false;
};

// The text with &, <, >, " and ' written as entities.
std::string EscapeXmlAttribute(const std::string& text);

}  // namespace TestSupport
