// Loading and checking the update document.
#include <tinyxml.h>

#include <cstdio>
#include <new>

#include "document/document_path_rules.h"
#include "document/update_document.h"
#include "document/xml_nesting_depth.h"
#include "utils/unique_handle.h"

namespace {

bool ReadWholeFile(std::FILE* file, std::string& text) {
    char buffer[64 * 1024];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, got);
    return !std::ferror(file);
}

// Root attributes that name files below the product's folders.
const char* const kRootPathAttributes[] = {"ProductExePath", "CompressFilePath",
                                           "CompressWAVPath", "UninstallIconPath",
                                           "UpdateResourceExePath"};

}  // namespace

std::string UpdateDocument::FailureText(LoadStatus status) {
    switch (status) {
        case LoadStatus::Loaded:
            return std::string();
        case LoadStatus::Unreadable:
            return "Check your internet connection and try again.";
        case LoadStatus::WrongContents:
            return "Wrong update file contents, please try again later.";
    }
    return std::string();
}

UpdateDocument::LoadStatus UpdateDocument::Load(const std::string& path) {
    LoadStatus status = LoadStatus::Unreadable;
    try {
        status = Parse(path);
        if (status == LoadStatus::Loaded) status = Validate();
    } catch (const std::bad_alloc&) {
        status = LoadStatus::Unreadable;
    }
    // A refused document must not be read by accident.
    if (status != LoadStatus::Loaded) m_document.reset(new TiXmlDocument());
    return status;
}

UpdateDocument::LoadStatus UpdateDocument::Parse(const std::string& path) {
    m_document.reset(new TiXmlDocument());
    Utils::UniqueStdioFile file(std::fopen(path.c_str(), "rb"));
    if (!file) return LoadStatus::Unreadable;
    // The parser recurses once per nesting level: measure before parsing.
    std::string text;
    if (!ReadWholeFile(file.Get(), text)) return LoadStatus::Unreadable;
    if (XmlNestingDepth::Measure(text) > kMaxNestingDepth) return LoadStatus::Unreadable;
    text = std::string();
    std::rewind(file.Get());
    if (!m_document->LoadFile(file.Get(), TIXML_DEFAULT_ENCODING)) return LoadStatus::Unreadable;
    return LoadStatus::Loaded;
}

UpdateDocument::LoadStatus UpdateDocument::Validate() const {
    if (!Root()) return LoadStatus::WrongContents;
    if (RootAttribute("IsSucceed") == "false") return LoadStatus::WrongContents;
    if (!PathsStayInside()) return LoadStatus::WrongContents;
    return LoadStatus::Loaded;
}

bool UpdateDocument::PathsStayInside() const {
    for (const char* name : kRootPathAttributes) {
        if (!DocumentPathRules::IsContainedRelativePath(RootAttribute(name))) return false;
    }
    for (const std::string& path : GetClientRelativePaths()) {
        if (!DocumentPathRules::IsContainedRelativePath(path)) return false;
    }
    return true;
}
