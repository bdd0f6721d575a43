#include "release_history.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "document/signed_document.h"
#include "publish_error.h"
#include "setting_values.h"
#include "tinyxml.h"

namespace Publish {
namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const TiXmlElement* RootElement(TiXmlDocument& document, const std::string& bytes) {
    document.Parse(bytes.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    const TiXmlNode* node = document.FirstChild("UpdateDocument");
    return node ? node->ToElement() : nullptr;
}

// The ReleaseNumber of a signed document at path; none for a missing,
// unsigned or unreadable one, which binds no updater.
std::optional<std::uint64_t> SignedReleaseNumber(const fs::path& path) {
    const std::string bytes = ReadBytes(path);
    if (bytes.empty() || !SignedDocument::Split(bytes).signedForm) return std::nullopt;
    TiXmlDocument document;
    const TiXmlElement* root = RootElement(document, bytes);
    const char* number = root ? root->Attribute("ReleaseNumber") : nullptr;
    if (number == nullptr || !ReleaseNumberProblem(number).empty()) return std::nullopt;
    return std::stoull(number);
}

}  // namespace

void CheckReleaseNumberGoesOn(const std::string& outFolder, const std::vector<std::string>& ids,
                              const std::optional<std::uint64_t>& releaseNumber) {
    for (const std::string& id : ids) {
        const fs::path path = fs::path(outFolder) / "documents" / id;
        const std::optional<std::uint64_t> published = SignedReleaseNumber(path);
        if (!published) continue;
        const std::string old = std::to_string(*published);
        if (!releaseNumber)
            throw PublishError(path.string() + " is signed as release " + old +
                               "; updaters stamped with its key refuse an unsigned document: "
                               "give --key and a --release-number above " +
                               old + " (to stop signing, remove the tree first)");
        if (*releaseNumber < *published)
            throw PublishError("release number " + std::to_string(*releaseNumber) +
                               " is lower than release " + old + " in " + path.string() +
                               ", which updaters refuse once they accepted " + old +
                               ": give a number above " + old);
    }
}

void CheckReleaseNumberNotReused(const std::string& outFolder, const std::string& id,
                                 std::uint64_t releaseNumber, const std::string& xml) {
    const fs::path path = fs::path(outFolder) / "documents" / id;
    if (SignedReleaseNumber(path) != releaseNumber) return;
    // The text that the first signature covers, before any signature comment.
    const std::string bytes = ReadBytes(path);
    std::size_t text = bytes.size();
    for (const SignedDocument::Parts& parts : SignedDocument::Signatures(bytes))
        text = std::min(text, parts.signedLength);
    if (bytes.compare(0, text, xml) == 0 && text == xml.size()) return;
    const std::string number = std::to_string(releaseNumber);
    throw PublishError(path.string() + " is already signed as release " + number +
                       " with other content; updaters would accept either, so the older "
                       "could be served again: give a number above " +
                       number);
}

std::vector<std::string> PublishedClientPaths(const std::string& outFolder,
                                              const std::vector<std::string>& ids) {
    for (const std::string& id : ids) {
        const std::string bytes = ReadBytes(fs::path(outFolder) / "documents" / id);
        TiXmlDocument document;
        const TiXmlElement* root = bytes.empty() ? nullptr : RootElement(document, bytes);
        const TiXmlElement* files = root ? root->FirstChildElement("UpdateFiles") : nullptr;
        if (!files) continue;
        std::vector<std::string> paths;
        for (const TiXmlElement* file = files->FirstChildElement("UpdateFile"); file;
             file = file->NextSiblingElement("UpdateFile")) {
            if (const char* path = file->Attribute("ClientRelativePath")) paths.push_back(path);
        }
        return paths;
    }
    return {};
}

}  // namespace Publish
