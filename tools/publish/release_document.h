#pragma once
// The content of one update document and its XML text.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "release_settings.h"

namespace Publish {

struct ListedFile {
    std::string serverPath;  // request path on the files server ("/files/...")
    std::string clientPath;  // "\"-separated, relative to the data folder
    std::string checksum;    // 32 upper-case hex digits
    std::string sha256;      // of the file as installed, 64 lower-case hex digits
    std::string servedSha256;  // of a packed file as served, checked before unpacking; else ""
    std::uint64_t size = 0;  // bytes as served
    bool compressed = false;
};

struct ReleaseDocument {
    std::string productExePath;
    std::string filesServer;
    std::string skinUrl;
    std::string compressFilePath;
    std::string compressWavPath;
    std::string uninstallIconPath;
    std::string updateResourceExePath;
    std::vector<ListedFile> files;
    std::vector<RegistrySetting> registry;
    std::optional<std::uint64_t> releaseNumber;  // written only for a signed document
    std::string downloadId;  // the id the document is served for; keyed updaters check it
};

// The request path of a served file: "/files/" then the client path with "/"
// separators, every byte outside letters, digits and "-._~" percent-encoded
// (so a blank travels as %20 and a static server maps it back to the file).
std::string ServerPathOf(const std::string& clientPath);

// The file a static server maps a request path to: the query dropped and
// every %XX decoded. None when an escape is not two hex digits.
std::optional<std::string> DecodedServerPath(const std::string& serverPath);

// The document as XML text, CR LF line ends, every value escaped. A signed
// document is this text followed by its signature comment (document_signature.h).
std::string WriteDocumentXml(const ReleaseDocument& document);

}  // namespace Publish
