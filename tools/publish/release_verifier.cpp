#include "release_verifier.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "client_path_rules.h"
#include "codec_io.h"
#include "content_token.h"
#include "document/document_path_rules.h"
#include "document/signed_document.h"
#include "flac_codec.h"
#include "publish_error.h"
#include "release_document.h"
#include "setting_values.h"
#include "signing_key.h"
#include "tinyxml.h"
#include "zstd_codec.h"

namespace Publish {
namespace fs = std::filesystem;
namespace {

// Root attributes that name a listed file.
const char* const kNamedFiles[] = {"ProductExePath", "CompressFilePath", "CompressWAVPath",
                                   "UninstallIconPath", "UpdateResourceExePath"};

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A request path that names a file below the tree: rooted, no ".." component
// (between slashes or backslashes, which publish.exe's paths also split at).
bool StaysInTree(const std::string& path) {
    if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos) return false;
    std::size_t start = 1;
    for (;;) {
        const std::size_t end = path.find_first_of("/\\", start);
        if (path.compare(start, end == std::string::npos ? std::string::npos : end - start, "..") ==
            0)
            return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PublishError(path.string() + " cannot be read");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Attribute(const TiXmlElement& element, const char* name) {
    const char* value = element.Attribute(name);
    return value ? value : "";
}

// A scratch file for one unpacked file, removed when it goes out of scope.
class ScratchFile {
public:
    ScratchFile() {
        std::random_device random;
        m_path = fs::temp_directory_path() / ("publish-verify-" + std::to_string(random()));
    }
    ~ScratchFile() {
        std::error_code ignored;
        fs::remove(m_path, ignored);
    }
    std::string Path() const { return m_path.string(); }

private:
    fs::path m_path;
};

class DocumentCheck {
public:
    DocumentCheck(const VerifyOptions& options, const std::string& id, std::ostream& out)
        : m_options(options), m_id(id), m_name("documents/" + id), m_out(out) {}

    int Run() {
        const std::string bytes = ReadBytes(fs::path(m_options.tree) / "documents" / m_id);
        const std::string signature = CheckSignature(bytes);
        TiXmlDocument document;
        document.Parse(bytes.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
        const TiXmlNode* rootNode = document.FirstChild("UpdateDocument");
        const TiXmlElement* root = rootNode ? rootNode->ToElement() : nullptr;
        if (document.Error()) {
            Problem(std::string("is not well-formed XML: ") + document.ErrorDesc());
        } else if (root == nullptr) {
            Problem("has no UpdateDocument element");
        } else {
            CheckRoot(*root);
            CheckFiles(*root);
        }
        m_out << m_name << ": " << signature << ", " << m_files << " files (" << m_servedBytes
              << " bytes served): "
              << (m_problems ? std::to_string(m_problems) + " problem(s)" : "all good") << '\n';
        return m_problems;
    }

private:
    void Problem(const std::string& text) {
        m_out << m_name << ": " << text << '\n';
        ++m_problems;
    }

    // What the summary says about the signature.
    std::string CheckSignature(const std::string& bytes) {
        const SignedDocument::Parts parts = SignedDocument::Split(bytes);
        if (m_options.publicKey.empty())
            return parts.signedForm ? "signed (not checked: no --public-key)" : "unsigned";
        if (!parts.signedForm) {
            Problem("carries no signature; an updater stamped with the key refuses it");
            return "unsigned";
        }
        // A document of a key change verifies with either key, as updaters read it.
        const std::vector<SignedDocument::Parts> signatures = SignedDocument::Signatures(bytes);
        for (std::size_t i = 0; i < signatures.size(); ++i) {
            RawSignature raw{};
            std::copy(signatures[i].signature.begin(), signatures[i].signature.end(), raw.begin());
            if (!VerifySignature(m_options.publicKey, bytes.substr(0, signatures[i].signedLength),
                                 raw))
                continue;
            m_signatureChecked = true;
            return signatures.size() == 1 ? "signature good"
                   : i == 0               ? "signature good (the old key's, of two)"
                                          : "signature good (the new key's, of two)";
        }
        Problem("signature does not verify with " + m_options.publicKey);
        return "signature bad";
    }

    void CheckRoot(const TiXmlElement& root) {
        if (Attribute(root, "IsSucceed") == "false")
            Problem("says IsSucceed=\"false\": updaters refuse it");
        const std::string number = Attribute(root, "ReleaseNumber");
        if (m_signatureChecked && (number.empty() || !ReleaseNumberProblem(number).empty()))
            Problem("is signed but has no valid ReleaseNumber: updaters refuse it");
        // Keyed updaters take only the document made for their own download id.
        const std::string id = Attribute(root, "DownloadId");
        if (m_signatureChecked && id.empty())
            Problem("is signed but names no DownloadId: updaters stamped with the key refuse it");
        else if (!id.empty() && FoldCase(id) != FoldCase(m_id))
            Problem("names DownloadId \"" + id +
                    "\" but is served for " + m_id + ": updaters stamped with the key refuse it");
    }

    void CheckFiles(const TiXmlElement& root) {
        std::set<std::string> listed;
        bool packedGeneral = false, packedSound = false;
        int withoutHash = 0;
        const TiXmlNode* group = root.FirstChild("UpdateFiles");
        for (const TiXmlElement* file = group ? group->FirstChildElement("UpdateFile") : nullptr;
             file != nullptr; file = file->NextSiblingElement("UpdateFile")) {
            ++m_files;
            const std::string client = Attribute(*file, "ClientRelativePath");
            listed.insert(FoldCase(client));
            const std::string server = Attribute(*file, "ServerRelativePath");
            packedGeneral = packedGeneral || EndsWith(server, ".Kelz");
            packedSound = packedSound || EndsWith(server, ".Kelw");
            if (Attribute(*file, "Sha256").empty()) ++withoutHash;
            CheckFile(*file, client, server);
        }
        for (const char* name : kNamedFiles) {
            const std::string value = Attribute(root, name);
            if (!value.empty() && listed.count(FoldCase(value)) == 0)
                Problem(std::string(name) + " names " + value + ", which no UpdateFile lists");
        }
        if (packedGeneral && Attribute(root, "CompressFilePath").empty())
            Problem("lists .Kelz files but names no CompressFilePath");
        if (packedSound && Attribute(root, "CompressWAVPath").empty())
            Problem("lists .Kelw files but names no CompressWAVPath");
        if (m_signatureChecked && withoutHash > 0)
            m_out << m_name << ": note: " << withoutHash
                  << " file(s) without a Sha256: the signature does not cover their content\n";
    }

    void CheckFile(const TiXmlElement& file, const std::string& client, std::string server) {
        const std::string what = client + " (" + server + ")";
        if (client.empty() || !DocumentPathRules::IsContainedRelativePath(client)) {
            Problem(what + ": updaters refuse this ClientRelativePath");
            return;
        }
        // The updater's copy is served at its entry's path plus the download id.
        if (FoldCase(client) == kUpdaterClientPath) server += m_id;
        // A static server serves the file that the decoded path names.
        const std::optional<std::string> decoded = DecodedServerPath(server);
        if (!decoded || !StaysInTree(*decoded)) {
            Problem(what + ": ServerRelativePath must start with / and stay in the tree");
            return;
        }
        const fs::path served = fs::path(m_options.tree) / fs::path(decoded->substr(1));
        std::error_code error;
        if (!fs::is_regular_file(served, error)) {
            Problem(what + ": the tree holds no file " + server);
            return;
        }
        const auto size = fs::file_size(served, error);
        m_servedBytes += size;
        if (Attribute(file, "Size") != std::to_string(size))
            Problem(what + ": Size is " + Attribute(file, "Size") + ", the served file has " +
                    std::to_string(size) + " bytes");
        const bool compressed = Attribute(file, "IsCompressed") == "true";
        const bool packedName = EndsWith(server, ".Kelz") || EndsWith(server, ".Kelw");
        if (compressed != packedName)
            Problem(what + ": IsCompressed must be \"true\" exactly for .Kelz and .Kelw files");
        const std::string servedHash = ListedHash(file, "ServedSha256", what);
        if (!servedHash.empty() && servedHash != HexOfDigest(HashFile(served.string())))
            Problem(what + ": ServedSha256 does not match the served file");
        const std::string expected = ListedHash(file, "Sha256", what);
        if (expected.empty()) return;
        const std::string actual = InstalledHash(served.string(), compressed && packedName, what);
        if (!actual.empty() && actual != expected)
            Problem(what + ": Sha256 does not match the " +
                    (compressed ? "unpacked file" : "served file"));
    }

    // A listed hash in lower case; "" when there is none or it is malformed
    // (reported: updaters refuse the whole document for it).
    std::string ListedHash(const TiXmlElement& file, const char* name, const std::string& what) {
        const std::string hash = FoldCase(Attribute(file, name));
        if (hash.empty() ||
            (hash.size() == 64 && hash.find_first_not_of("0123456789abcdef") == std::string::npos))
            return hash;
        Problem(what + ": " + name + " is not 64 hex digits: updaters refuse the document");
        return "";
    }

    // The SHA-256 of the file as installed, as hex; "" after a reported problem.
    std::string InstalledHash(const std::string& served, bool packed, const std::string& what) {
        if (!packed) return HexOfDigest(HashFile(served));
        ScratchFile unpacked;
        try {
            if (EndsWith(served, ".Kelz"))
                Kelz::DecompressFile(served, unpacked.Path());
            else
                Kelw::DecodeToWav(served, unpacked.Path());
        } catch (const CodecIo::CodecError& e) {
            Problem(what + ": does not unpack: " + e.what());
            return "";
        }
        return HexOfDigest(HashFile(unpacked.Path()));
    }

    const VerifyOptions& m_options;
    const std::string m_id;
    const std::string m_name;
    std::ostream& m_out;
    int m_problems = 0;
    int m_files = 0;
    std::uintmax_t m_servedBytes = 0;
    bool m_signatureChecked = false;
};

}  // namespace

int VerifyRelease(const VerifyOptions& options, std::ostream& out) {
    const fs::path documents = fs::path(options.tree) / "documents";
    std::vector<std::string> ids;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(documents, error))
        if (entry.is_regular_file()) ids.push_back(entry.path().filename().string());
    if (ids.empty()) throw PublishError(documents.string() + " holds no documents");
    std::sort(ids.begin(), ids.end());
    int problems = 0;
    for (const std::string& id : ids) problems += DocumentCheck(options, id, out).Run();
    return problems;
}

}  // namespace Publish
