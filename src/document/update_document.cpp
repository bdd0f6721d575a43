#include "document/update_document.h"

#include <tinyxml.h>

#include "document/document_values.h"
#include "utils/string/string_utils.h"

namespace {

const char kRootName[] = "UpdateDocument";
const char kFileElement[] = "UpdateFile";
const char kFileGroup[] = "UpdateFiles";
const char kSha256Attribute[] = "Sha256";
const char kServedSha256Attribute[] = "ServedSha256";

// The parser's first-child lookup matches a node of any kind (element,
// text, comment...) whose name or value equals the text.
const TiXmlNode* FirstChildNamed(const TiXmlNode* parent, const std::string& name) {
    return parent ? parent->FirstChild(name.c_str()) : nullptr;
}

std::string AttributeOf(const TiXmlElement* element, const std::string& name) {
    if (!element) return std::string();
    const char* value = element->Attribute(name.c_str());
    return value ? std::string(value) : std::string();
}

// The group's first child named element, when that child is an element.
const TiXmlElement* FirstListed(const TiXmlNode* root, const std::string& element,
                                const std::string& group) {
    const TiXmlNode* first = FirstChildNamed(FirstChildNamed(root, group), element);
    return first ? first->ToElement() : nullptr;
}

}  // namespace

UpdateDocument::UpdateDocument() : m_document(new TiXmlDocument()) {}

UpdateDocument::~UpdateDocument() = default;

const TiXmlNode* UpdateDocument::Root() const { return m_document->FirstChild(kRootName); }

std::string UpdateDocument::RootAttribute(const char* name) const {
    const TiXmlNode* root = Root();
    return AttributeOf(root ? root->ToElement() : nullptr, name);
}

std::string UpdateDocument::GetAttribute(const std::string& attribute, const std::string& element,
                                         const std::string& group, int index) const {
    if (group.empty()) return RootAttribute(attribute.c_str());
    if (index < 0) return std::string();
    const TiXmlElement* current = FirstListed(Root(), element, group);
    for (int step = 0; current && step < index; ++step) {
        current = current->NextSiblingElement(element.c_str());
    }
    return AttributeOf(current, attribute);
}

int UpdateDocument::CountElements(const std::string& element, const std::string& group) const {
    int count = 0;
    for (const TiXmlElement* current = FirstListed(Root(), element, group); current;
         current = current->NextSiblingElement()) {
        ++count;
    }
    return count;
}

template <typename Visit>
void UpdateDocument::ForEachListed(const std::string& element, const std::string& group,
                                   Visit visit) const {
    // The count runs over every following sibling element, the lookup by
    // index only over those named element: the named ones fill the first
    // positions in order, the rest stay empty.
    int count = 0;
    int named = 0;
    for (const TiXmlElement* current = FirstListed(Root(), element, group); current;
         current = current->NextSiblingElement()) {
        ++count;
        if (current->ValueStr() == element) {
            visit(current);
            ++named;
        }
    }
    for (; named < count; ++named) visit(nullptr);
}

UpdateDocument::StringList UpdateDocument::GetAttributeList(const std::string& attribute,
                                                            const std::string& element,
                                                            const std::string& group) const {
    StringList values;
    ForEachListed(element, group, [&](const TiXmlElement* listed) {
        values.push_back(AttributeOf(listed, attribute));
    });
    return values;
}

std::string UpdateDocument::GetProductExePath() const { return RootAttribute("ProductExePath"); }
std::string UpdateDocument::GetFilesServer() const { return RootAttribute("FilesServer"); }
std::string UpdateDocument::GetSkinUrl() const { return RootAttribute("SkinURL"); }
std::string UpdateDocument::GetCompressFilePath() const {
    return RootAttribute("CompressFilePath");
}
std::string UpdateDocument::GetCompressWavPath() const { return RootAttribute("CompressWAVPath"); }
std::string UpdateDocument::GetUninstallIconPath() const {
    return RootAttribute("UninstallIconPath");
}
std::string UpdateDocument::GetUpdateResourceExePath() const {
    return RootAttribute("UpdateResourceExePath");
}

std::string UpdateDocument::GetProductExeFolder() const {
    return DocumentValues::FolderOfPath(GetProductExePath());
}

std::string UpdateDocument::GetProductExeName() const {
    return DocumentValues::NameOfPath(GetProductExePath());
}

UpdateDocument::StringList UpdateDocument::GetServerRelativePaths() const {
    return GetAttributeList("ServerRelativePath", kFileElement, kFileGroup);
}

UpdateDocument::StringList UpdateDocument::GetClientRelativePaths() const {
    return GetAttributeList("ClientRelativePath", kFileElement, kFileGroup);
}

UpdateDocument::StringList UpdateDocument::GetCheckSums() const {
    return GetAttributeList("CheckSum", kFileElement, kFileGroup);
}

std::vector<int64_t> UpdateDocument::GetSizes() const {
    std::vector<int64_t> sizes;
    ForEachListed(kFileElement, kFileGroup, [&](const TiXmlElement* listed) {
        sizes.push_back(DocumentValues::ParseDecimal(AttributeOf(listed, "Size")));
    });
    return sizes;
}

std::vector<bool> UpdateDocument::GetCompressedFlags() const {
    std::vector<bool> flags;
    ForEachListed(kFileElement, kFileGroup, [&](const TiXmlElement* listed) {
        flags.push_back(DocumentValues::ParseFlag(AttributeOf(listed, "IsCompressed")));
    });
    return flags;
}

bool UpdateDocument::GetReleaseNumber(uint64_t& number) const {
    return DocumentValues::ParseReleaseNumber(RootAttribute("ReleaseNumber"), number);
}

// A Sha256 or ServedSha256 that is present must be usable: an empty or short
// one would otherwise silently switch the check off.
bool UpdateDocument::HashesWellFormed() const {
    bool wellFormed = true;
    ForEachListed(kFileElement, kFileGroup, [&](const TiXmlElement* listed) {
        for (const char* name : {kSha256Attribute, kServedSha256Attribute}) {
            const char* hash = listed ? listed->Attribute(name) : nullptr;
            if (hash && !DocumentValues::IsSha256Text(hash)) wellFormed = false;
        }
    });
    return wellFormed;
}

std::vector<UpdateFileEntry> UpdateDocument::GetFileEntries() const {
    std::vector<UpdateFileEntry> entries;
    ForEachListed(kFileElement, kFileGroup, [&](const TiXmlElement* listed) {
        UpdateFileEntry entry;
        entry.serverRelativePath = AttributeOf(listed, "ServerRelativePath");
        entry.clientRelativePath = AttributeOf(listed, "ClientRelativePath");
        entry.checkSum = AttributeOf(listed, "CheckSum");
        entry.size = DocumentValues::ParseDecimal(AttributeOf(listed, "Size"));
        entry.isCompressed = DocumentValues::ParseFlag(AttributeOf(listed, "IsCompressed"));
        entry.sha256 = AttributeOf(listed, kSha256Attribute);
        Utils::String::ToLower(entry.sha256);
        entry.servedSha256 = AttributeOf(listed, kServedSha256Attribute);
        Utils::String::ToLower(entry.servedSha256);
        entries.push_back(std::move(entry));
    });
    return entries;
}
