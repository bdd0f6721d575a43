#include "release_builder.h"

#include <filesystem>
#include <system_error>

#include "client_path_rules.h"
#include "content_token.h"
#include "payload_packer.h"
#include "product_files.h"
#include "progress_meter.h"
#include "publish_error.h"
#include "release_checks.h"
#include "release_document.h"
#include "release_settings.h"
#include "release_tree.h"
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
    entry.checksum = ContentToken(file.sourcePath);
    const std::string base = ServedBase(filesFolder, file.clientPath);
    CreateParentFolders(base);
    const PackedPayload payload = PackPayload(file.sourcePath, base, level);
    entry.serverPath = ServerPathOf(file.clientPath) + payload.suffix;
    entry.size = payload.size;
    entry.compressed = payload.Compressed();
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
    fs::copy_file(fs::path(source), fs::path(served), ec);
    if (ec) throw PublishError("cannot copy " + source + ": " + ec.message());
    return ListedFile{ServerPathOf(name), name, ContentToken(source), fs::file_size(served), false};
}

std::string Pick(const std::string& commandLine, const SettingText& setting) {
    return commandLine.empty() ? setting.text : commandLine;
}

}  // namespace

ReleaseSummary BuildRelease(const ReleaseOptions& options, std::ostream& progress) {
    const ReleaseSettings settings = ReadSettingsFile(options.settingsPath);
    const std::string toolsFolder = Pick(options.toolsFolder, settings.toolsFolder);
    if (toolsFolder.empty())
        throw PublishError("no decompressor folder: give --tools or a tools line in " +
                           settings.fileName);
    const std::string updaterExe = Pick(options.updaterExe, settings.updaterExe);
    CheckSeparateFolders(options.productFolder, options.outFolder);
    const std::vector<ProductFile> products = ListProductFiles(options.productFolder);
    ReleaseDocument document = DocumentRoot(settings, products);
    RefuseReservedNames(products, kToolNames, !updaterExe.empty());

    StagedTree tree(options.outFolder, options.replaceExisting);
    const std::string filesFolder = (fs::path(tree.Path()) / "files").string();
    std::vector<std::string> ids;
    for (const SettingText& id : settings.downloadIds) ids.push_back(id.text);
    if (!updaterExe.empty()) document.files.push_back(PublishUpdater(updaterExe, ids, filesFolder));
    document.compressFilePath = kToolNames[0];
    document.compressWavPath = kToolNames[1];
    ReleaseSummary summary;
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
    const std::string xml = WriteDocumentXml(document);
    for (const std::string& id : ids) {
        const std::string path = (fs::path(tree.Path()) / "documents" / id).string();
        CreateParentFolders(path);
        WriteWholeFile(path, xml);
    }
    tree.Commit();
    summary.listedFiles = document.files.size();
    return summary;
}

}  // namespace Publish
