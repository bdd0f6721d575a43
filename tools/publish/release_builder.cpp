#include "release_builder.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "client_path_rules.h"
#include "content_token.h"
#include "document_signature.h"
#include "layout_changes.h"
#include "payload_packer.h"
#include "product_files.h"
#include "progress_meter.h"
#include "publish_error.h"
#include "release_checks.h"
#include "release_document.h"
#include "release_history.h"
#include "release_settings.h"
#include "release_tree.h"
#include "signing_key.h"
#include "updater_copies.h"
#include "zstd_codec.h"

namespace Publish {
namespace fs = std::filesystem;

namespace {

// The decompressors travel as tool files at the data folder's root.
const char* const kToolNames[] = {"unkelz.exe", "unkelw.exe"};

std::string ServedBase(const std::string& filesFolder, const std::string& clientPath) {
    return (fs::path(filesFolder) / fs::path(ToSlashes(clientPath))).string();
}

ListedFile PublishProductFile(const ProductFile& file, const std::string& filesFolder, int level) {
    ListedFile entry;
    entry.clientPath = file.clientPath;
    const Sha256Digest digest = HashFile(file.sourcePath);
    entry.checksum = TokenOfDigest(digest);
    entry.sha256 = HexOfDigest(digest);
    const std::string base = ServedBase(filesFolder, file.clientPath);
    CreateParentFolders(base);
    const PackedPayload payload = PackPayload(file.sourcePath, base, level);
    entry.serverPath = ServerPathOf(file.clientPath) + payload.suffix;
    entry.size = payload.size;
    entry.compressed = payload.Compressed();
    // Updaters check a packed file's bytes before a decompressor reads them.
    if (entry.compressed) entry.servedSha256 = HexOfDigest(HashFile(base + payload.suffix));
    return entry;
}

ListedFile PublishToolFile(const std::string& toolsFolder, const std::string& name,
                           const std::string& filesFolder) {
    const std::string source = (fs::path(toolsFolder) / name).string();
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(source), ec))
        throw PublishError(source + ": the decompressor is missing");
    const std::string served = ServedBase(filesFolder, name);
    CreateParentFolders(served);
    CopyServedFile(source, served);
    const Sha256Digest digest = HashFile(source);
    return ListedFile{ServerPathOf(name),    name, TokenOfDigest(digest), HexOfDigest(digest),
                      "",                    fs::file_size(served), false};
}

std::string Pick(const std::string& commandLine, const SettingText& setting) {
    return commandLine.empty() ? setting.text : commandLine;
}

// The key that signs the documents and the number they carry; no key, no signing.
struct Signing {
    std::unique_ptr<SigningKey> key;
    std::unique_ptr<SigningKey> oldKey;  // signs over key's signature during a key change
    std::optional<std::uint64_t> releaseNumber;
};

Signing SigningFor(const ReleaseOptions& options, const ReleaseSettings& settings) {
    const std::string keyPath = Pick(options.signingKey, settings.signingKey);
    const std::string number = Pick(options.releaseNumber, settings.releaseNumber);
    if (!options.oldSigningKey.empty() && keyPath.empty())
        throw PublishError(
            "--old-key signs besides the new key during a key change: give --key (or a "
            "signing-key line in " +
            settings.fileName + ") with the new key");
    if (keyPath.empty() && number.empty()) return {};
    if (number.empty())
        throw PublishError(
            "signed documents need a release number: give --release-number or a "
            "release-number line in " +
            settings.fileName);
    if (keyPath.empty())
        throw PublishError(
            "a release number goes only into signed documents: give --key or a signing-key "
            "line in " +
            settings.fileName);
    Signing signing{std::make_unique<SigningKey>(keyPath), nullptr, std::stoull(number)};
    if (!options.oldSigningKey.empty())
        signing.oldKey = std::make_unique<SigningKey>(options.oldSigningKey);
    return signing;
}

// One document per download id. They differ in the id they name, the
// updater entry's Sha256 (each id has its own stamped copy), and the signature.
// oldTree: the tree being replaced, "" for none.
void WriteDocuments(const std::string& treeFolder, ReleaseDocument& document,
                    const std::vector<std::string>& ids,
                    const std::vector<std::string>& updaterSha256, const Signing& signing,
                    const std::string& oldTree) {
    document.releaseNumber = signing.releaseNumber;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (!updaterSha256.empty()) document.files.front().sha256 = updaterSha256[i];
        document.downloadId = ids[i];
        std::string xml = WriteDocumentXml(document);
        if (signing.key && !oldTree.empty())
            CheckReleaseNumberNotReused(oldTree, ids[i], *signing.releaseNumber, xml);
        if (signing.key) xml = SignedDocument(xml, *signing.key);
        if (signing.oldKey) xml = SignedDocument(xml, *signing.oldKey);
        const std::string path = (fs::path(treeFolder) / "documents" / ids[i]).string();
        CreateParentFolders(path);
        WriteWholeFile(path, xml);
    }
}

}  // namespace

ReleaseSummary BuildRelease(const ReleaseOptions& options, std::ostream& progress) {
    const ReleaseSettings settings = ReadSettingsFile(options.settingsPath);
    const std::string toolsFolder = Pick(options.toolsFolder, settings.toolsFolder);
    if (toolsFolder.empty())
        throw PublishError("no decompressor folder: give --tools or a tools line in " +
                           settings.fileName);
    const std::string updaterExe = Pick(options.updaterExe, settings.updaterExe);
    const Signing signing = SigningFor(options, settings);
    CheckSeparateFolders(options.productFolder, options.outFolder);
    CheckKeyOutsideProduct(options.productFolder, Pick(options.signingKey, settings.signingKey));
    CheckKeyOutsideProduct(options.productFolder, options.oldSigningKey);
    const std::vector<ProductFile> products = ListProductFiles(options.productFolder);
    ReleaseDocument document = DocumentRoot(settings, products);
    RefuseReservedNames(products, kToolNames, !updaterExe.empty());
    WarnOfUnversionedProductExe(document, products, progress);
    WarnOfLongClientPaths(products, progress);
    WarnOfExplorerFiles(products, progress);
    std::vector<std::string> ids;
    for (const SettingText& id : settings.downloadIds) ids.push_back(id.text);
    if (options.replaceExisting) {
        CheckReleaseNumberGoesOn(options.outFolder, ids, signing.releaseNumber);
        WarnOfLayoutChanges(PublishedClientPaths(options.outFolder, ids), products, progress);
    }

    StagedTree tree(options.outFolder, options.replaceExisting);
    const std::string filesFolder = (fs::path(tree.Path()) / "files").string();
    ReleaseSummary summary;
    PublishedUpdater updater;
    if (!updaterExe.empty()) {
        UpdaterTerms terms;
        if (signing.key) {
            terms.documentKey = signing.key->PublicKey();
            terms.releaseFloor = signing.releaseNumber;
        }
        updater = PublishUpdater(updaterExe, ids, filesFolder, terms, progress);
        if (options.replaceExisting)
            WarnOfUpdaterChangedUnderSameChecksum(options.outFolder, ids, filesFolder, progress);
        document.files.push_back(updater.entry);
        summary.servedBytes += updater.entry.size * ids.size();  // one copy per id
    }
    document.compressFilePath = kToolNames[0];
    document.compressWavPath = kToolNames[1];
    for (const char* tool : kToolNames) {
        document.files.push_back(PublishToolFile(toolsFolder, tool, filesFolder));
        summary.servedBytes += document.files.back().size;
    }
    const int level = options.zstdLevel > 0 ? options.zstdLevel : Kelz::kDefaultLevel;
    ProgressMeter meter(progress, products.size());
    for (const ProductFile& file : products) {
        document.files.push_back(PublishProductFile(file, filesFolder, level));
        const ListedFile& entry = document.files.back();
        const std::uint64_t sourceSize = fs::file_size(fs::path(file.sourcePath));
        summary.sourceBytes += sourceSize;
        summary.servedBytes += entry.size;
        if (entry.compressed) ++summary.packedFiles;
        meter.FileDone(sourceSize);
    }
    WriteDocuments(tree.Path(), document, ids, updater.copySha256, signing,
                   options.replaceExisting ? options.outFolder : "");
    const std::string leftOver = tree.Commit();
    if (!leftOver.empty()) progress << "publish: warning: " << leftOver << '\n';
    summary.listedFiles = document.files.size();
    summary.releaseNumber = signing.releaseNumber;
    return summary;
}

}  // namespace Publish
