#pragma once
// The update document that the download web service answers with: the
// product's executable, the files server, the skin page, the decompressor
// programs, the list of files and the registry values to write.
//
// Loaded once by the session's worker thread; afterwards only read, and the
// accessors may be called from any number of threads at once (they keep no
// shared buffers and return copies). A missing element or attribute reads as
// the empty string, a missing list as an empty list.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/update_file_entry.h"

class TiXmlDocument;
class TiXmlNode;
class TiXmlElement;

class UpdateDocument {
public:
    using StringList = std::vector<std::string>;

    enum class LoadStatus {
        Loaded,
        Unreadable,     // the file can't be opened, is longer than kMaxFileBytes,
                        // doesn't parse or nests too deep
        WrongContents,  // no UpdateDocument, IsSucceed "false", a path leaving the
                        // product, a malformed Sha256, or (with a key) a bad signature
    };

    // Nesting deeper than this is refused before parsing (the document itself needs 3).
    static constexpr size_t kMaxNestingDepth = 256;
    // A longer document file is neither received nor read. One that lists
    // 50,000 files takes about 12 MB, so five times as many still fit, while
    // an answer without end fills neither the temporary folder nor the memory.
    static constexpr int64_t kMaxFileBytes = 64LL * 1024 * 1024;

    UpdateDocument();
    ~UpdateDocument();
    UpdateDocument(const UpdateDocument&) = delete;
    UpdateDocument& operator=(const UpdateDocument&) = delete;

    // Loads and checks the file at path. On failure reports the failure's text
    // through the main dialog with severity 4 (which ends the run) and returns
    // false if that report returns. Worker thread, before any reader starts.
    // With a publicKey (64 bytes X || Y of a P-256 key) the file must be in
    // the signed form (document/signed_document.h) with a valid signature
    // under that key and carry a ReleaseNumber; the signature is checked on
    // the bytes read, before they are parsed. Without one, neither is looked at.
    bool LoadAndValidate(const std::string& path, const std::string& publicKey = "");
    // The same load and checks without reporting. After a failure the
    // document is empty.
    LoadStatus Load(const std::string& path, const std::string& publicKey = "");
    // The user-facing text for a failed load; empty for Loaded.
    static std::string FailureText(LoadStatus status);

    // The general lookup: with an empty group, the root's attribute; otherwise
    // attribute of the index-th (zero-based) element named element in the
    // root's group. Empty when anything on the way is missing.
    std::string GetAttribute(const std::string& attribute, const std::string& element,
                             const std::string& group, int index) const;
    // 1 for the group's first element named element plus every sibling element
    // after it, whatever its name; 0 when any step is missing.
    int CountElements(const std::string& element, const std::string& group) const;
    // GetAttribute(attribute, element, group, i) for i below CountElements, in
    // one walk: positions that no element named element fills read as "".
    StringList GetAttributeList(const std::string& attribute, const std::string& element,
                                const std::string& group) const;

    std::string GetProductExePath() const;
    std::string GetFilesServer() const;
    std::string GetSkinUrl() const;
    std::string GetCompressFilePath() const;
    std::string GetCompressWavPath() const;
    std::string GetUninstallIconPath() const;
    std::string GetUpdateResourceExePath() const;
    // ProductExePath without its last backslash-separated component ("" if none).
    std::string GetProductExeFolder() const;
    // The last backslash-separated component of ProductExePath.
    std::string GetProductExeName() const;

    // The root's ReleaseNumber; false when it is missing or not a decimal
    // number from 0 to 2^63 - 1.
    bool GetReleaseNumber(uint64_t& number) const;
    // The download id that the document was published for ("DownloadId"); "" for none.
    std::string GetDownloadId() const { return RootAttribute("DownloadId"); }

    // The five parallel file lists, all of CountElements("UpdateFile", "UpdateFiles") entries.
    StringList GetServerRelativePaths() const;
    StringList GetClientRelativePaths() const;
    StringList GetCheckSums() const;
    std::vector<int64_t> GetSizes() const;
    std::vector<bool> GetCompressedFlags() const;
    // The same lists as records: entry i describes the i-th listed file.
    std::vector<UpdateFileEntry> GetFileEntries() const;

private:
    LoadStatus Parse(const std::string& path, const std::string& publicKey);
    // Parses the text into a new tree; false when it does not parse. The
    // text is the same again on return.
    bool ParseText(std::string& text);
    LoadStatus Validate(bool signedRelease) const;
    bool PathsStayInside() const;
    bool HashesWellFormed() const;
    const TiXmlNode* Root() const;
    std::string RootAttribute(const char* name) const;
    // Calls visit(element) for each list position; null where no element named element stands.
    template <typename Visit>
    void ForEachListed(const std::string& element, const std::string& group, Visit visit) const;

    std::unique_ptr<TiXmlDocument> m_document;
};
