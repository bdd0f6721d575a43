#include "support/update_document_builder.h"

#include <algorithm>

#include "support/scratch.h"

namespace TestSupport {
namespace {

std::string ElementMarkup(const std::string& name,
                          const UpdateDocumentBuilder::Attributes& attributes) {
    std::string markup = "<" + name;
    for (const auto& attribute : attributes) {
        markup += " " + attribute.first + "=\"" + EscapeXmlAttribute(attribute.second) + "\"";
    }
    return markup + " />";
}

void AppendGroup(std::string& text, const char* name, const std::vector<std::string>& items,
                 bool omitEmpty) {
    if (items.empty() && omitEmpty) return;
    text += "  <" + std::string(name) + ">\n";
    for (const std::string& item : items) text += "    " + item + "\n";
    text += "  </" + std::string(name) + ">\n";
}

}  // namespace

std::string EscapeXmlAttribute(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&apos;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

UpdateDocumentBuilder::UpdateDocumentBuilder() { Root("IsSucceed", "true"); }

UpdateDocumentBuilder& UpdateDocumentBuilder::Root(const std::string& name,
                                                   const std::string& value) {
    auto found = std::find_if(m_root.begin(), m_root.end(),
                              [&](const auto& attribute) { return attribute.first == name; });
    if (found != m_root.end()) {
        found->second = value;
    } else {
        m_root.emplace_back(name, value);
    }
    return *this;
}

UpdateDocumentBuilder& UpdateDocumentBuilder::RemoveRoot(const std::string& name) {
    m_root.erase(std::remove_if(m_root.begin(), m_root.end(),
                                [&](const auto& attribute) { return attribute.first == name; }),
                 m_root.end());
    return *this;
}

UpdateDocumentBuilder& UpdateDocumentBuilder::AddFile(const DocumentFile& file,
                                                      const std::string& sha256) {
    Attributes attributes = {{"ServerRelativePath", file.serverRelativePath},
                             {"ClientRelativePath", file.clientRelativePath},
                             {"CheckSum", file.checkSum},
                             {"Size", std::to_string(file.size)},
                             {"IsCompressed", file.isCompressed ? "true" : "false"}};
    if (!sha256.empty()) attributes.emplace_back("Sha256", sha256);
    return AddFileAttributes(attributes);
}

UpdateDocumentBuilder& UpdateDocumentBuilder::AddFileAttributes(const Attributes& attributes) {
    return AddFileMarkup(ElementMarkup("UpdateFile", attributes));
}

UpdateDocumentBuilder& UpdateDocumentBuilder::AddFileMarkup(const std::string& markup) {
    m_fileMarkup.push_back(markup);
    return *this;
}

UpdateDocumentBuilder& UpdateDocumentBuilder::AddRegistry(const DocumentRegistryValue& value) {
    return AddRegistryAttributes({{"Path", value.path},
                                  {"Key", value.key},
                                  {"Value", value.value},
                                  {"IsOverride", value.isOverride}});
}

UpdateDocumentBuilder& UpdateDocumentBuilder::AddRegistryAttributes(const Attributes& attributes) {
    m_registryMarkup.push_back(ElementMarkup("Registry", attributes));
    return *this;
}

UpdateDocumentBuilder& UpdateDocumentBuilder::OmitEmptyGroups(bool omit) {
    m_omitEmptyGroups = omit;
    return *this;
}

std::string UpdateDocumentBuilder::Build() const {
    // Texts are single-byte: a declared single-byte encoding makes the parser
    // keep every byte as it stands (undeclared, it would read UTF-8).
    std::string text = "<?xml version=\"1.0\" encoding=\"windows-1252\" ?>\n";
    text += ElementMarkup("UpdateDocument", m_root);
    text.erase(text.size() - 3);  // reopen the root: " />" -> ">"
    text += ">\n";
    AppendGroup(text, "UpdateFiles", m_fileMarkup, m_omitEmptyGroups);
    AppendGroup(text, "UpdateRegistry", m_registryMarkup, m_omitEmptyGroups);
    return text + "</UpdateDocument>\n";
}

bool UpdateDocumentBuilder::WriteTo(const std::string& path) const {
    return TestSupport::WriteFile(path, Build());
}

}  // namespace TestSupport
