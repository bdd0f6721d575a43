#include "release_checks.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unordered_map>

#include "client_path_rules.h"
#include "publish_error.h"
#include "updater_copies.h"
#include "version_resource.h"

namespace Publish {
namespace fs = std::filesystem;

namespace {

fs::path Resolved(const std::string& path) {
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(fs::absolute(fs::path(path)), ec);
    if (ec) throw PublishError("cannot resolve " + path + ": " + ec.message());
    if (!resolved.has_filename()) resolved = resolved.parent_path();
    return resolved;
}

bool IsWithin(const fs::path& inner, const fs::path& outer) {
    auto o = outer.begin();
    auto i = inner.begin();
    for (; o != outer.end(); ++o, ++i) {
        if (i == inner.end() || FoldCase(i->string()) != FoldCase(o->string())) return false;
    }
    return true;
}

// The listed spelling of a settings path, or a refusal naming its line.
std::string ListedSpelling(const ReleaseSettings& settings, const SettingText& value,
                           const char* key,
                           const std::unordered_map<std::string, std::string>& byFolded) {
    if (value.text.empty()) return "";
    const auto found = byFolded.find(FoldCase(value.text));
    if (found == byFolded.end())
        throw PublishError(settings.Where(value.line) + key + " names " + value.text +
                           ", which is not in the product folder");
    return found->second;
}

// Windows' file calls without long-path support take 259 characters and a NUL.
constexpr int kLongestWindowsPath = 259;
constexpr char kProgramFilesFolder[] = "C:\\Program Files\\";
constexpr char kLongestSideEnding[] = ".part.Kelz";
constexpr int kComfortableBrandLength = 32;

}  // namespace

void CheckSeparateFolders(const std::string& productFolder, const std::string& outFolder) {
    const fs::path product = Resolved(productFolder);
    const fs::path out = Resolved(outFolder);
    if (IsWithin(out, product))
        throw PublishError(outFolder + " lies inside the product folder " + productFolder);
    if (IsWithin(product, out))
        throw PublishError("the product folder " + productFolder + " lies inside " + outFolder);
}

void CheckKeyOutsideProduct(const std::string& productFolder, const std::string& keyPath) {
    if (!keyPath.empty() && IsWithin(Resolved(keyPath), Resolved(productFolder)))
        throw PublishError(keyPath + ": the signing key lies inside the product folder " +
                           productFolder + ", which would publish it; keep it elsewhere");
}

ReleaseDocument DocumentRoot(const ReleaseSettings& settings,
                             const std::vector<ProductFile>& products) {
    std::unordered_map<std::string, std::string> byFolded;
    for (const ProductFile& file : products)
        byFolded.emplace(FoldCase(file.clientPath), file.clientPath);
    ReleaseDocument document;
    document.productExePath =
        ListedSpelling(settings, settings.productExePath, "product-exe", byFolded);
    document.uninstallIconPath =
        ListedSpelling(settings, settings.uninstallIconPath, "uninstall-icon", byFolded);
    document.updateResourceExePath =
        ListedSpelling(settings, settings.updateResourceExePath, "resource-update", byFolded);
    document.filesServer = settings.filesServer.text;
    document.skinUrl = settings.skinUrl.text;
    document.registry = settings.registry;
    return document;
}

void RefuseReservedNames(const std::vector<ProductFile>& products,
                         const char* const (&toolNames)[2], bool updaterListed) {
    const std::string updaterFolder = kUpdaterFolder;
    for (const ProductFile& file : products) {
        const std::string folded = FoldCase(file.clientPath);
        for (const char* tool : toolNames) {
            if (folded == tool)
                throw PublishError(file.clientPath +
                                   " in the product folder has the name of the "
                                   "decompressor that the release lists");
        }
        if (updaterListed &&
            (folded == updaterFolder || folded.rfind(updaterFolder + "\\", 0) == 0))
            throw PublishError(file.clientPath +
                               " in the product folder would meet the updater's "
                               "copies under files/" +
                               updaterFolder + "/");
    }
}

void WarnOfUnversionedProductExe(const ReleaseDocument& document,
                                 const std::vector<ProductFile>& products, std::ostream& warnings) {
    for (const ProductFile& file : products) {
        if (FoldCase(file.clientPath) != FoldCase(document.productExePath)) continue;
        std::ifstream in(fs::path(file.sourcePath), std::ios::binary);
        const std::string image((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        if (!HasVersionResource(image))
            warnings << "publish: warning: " << file.sourcePath
                     << " (product-exe) carries no version resource; updaters count it as a "
                        "failed download and end every run with \"Failed to connect to the "
                        "update server\"\n";
        return;
    }
}

void WarnOfExplorerFiles(const std::vector<ProductFile>& products, std::ostream& warnings) {
    for (const ProductFile& file : products) {
        const std::string name = FoldCase(file.clientPath.substr(file.clientPath.rfind('\\') + 1));
        const char* what = nullptr;
        if (name == "thumbs.db" || name == "ehthumbs.db")
            what = "is Explorer's thumbnail cache, which Explorer rewrites on its own";
        else if (name == "desktop.ini")
            what =
                "is Explorer's folder settings file, which does nothing in the installed "
                "folder (attributes do not travel)";
        if (what)
            warnings << "publish: warning: " << file.clientPath << " " << what
                     << "; it is published like every product file: delete it from the product "
                        "folder unless the product needs it\n";
    }
}

int LongestBrandFor(const std::string& clientPath) {
    const std::string withoutBrand =
        std::string(kProgramFilesFolder) + "\\" + clientPath + kLongestSideEnding;
    return kLongestWindowsPath - static_cast<int>(withoutBrand.size());
}

void WarnOfLongClientPaths(const std::vector<ProductFile>& products, std::ostream& warnings) {
    for (const ProductFile& file : products) {
        const int room = LongestBrandFor(file.clientPath);
        if (room >= kComfortableBrandLength) continue;
        warnings << "publish: warning: " << file.clientPath << " is " << file.clientPath.size()
                 << " characters long; ";
        if (room < 1)
            warnings << "no updater can install it under " << kProgramFilesFolder
                     << "<brand>, as Windows takes at most " << kLongestWindowsPath
                     << " characters of path\n";
        else
            warnings << "updaters install it under " << kProgramFilesFolder
                     << "<brand> only for a brand of at most " << room << " characters (Windows "
                     << "takes at most " << kLongestWindowsPath << " characters of path)\n";
    }
}

}  // namespace Publish
