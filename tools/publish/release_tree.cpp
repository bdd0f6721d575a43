#include "release_tree.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "publish_error.h"

namespace Publish {
namespace fs = std::filesystem;

namespace {

// A sibling of target named ".<name>.<what>-<n>" that does not exist yet.
fs::path FreeSibling(const fs::path& target, const std::string& what) {
    std::error_code ec;
    for (int n = 1;; ++n) {
        fs::path candidate = target.parent_path() / ("." + target.filename().string() + "." + what +
                                                     "-" + std::to_string(n));
        if (!fs::exists(candidate, ec) && !ec) return candidate;
        if (n > 10000) throw PublishError("cannot find a free name beside " + target.string());
    }
}

fs::path Absolute(const std::string& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(path), ec).lexically_normal();
    if (ec) throw PublishError("cannot resolve " + path + ": " + ec.message());
    // "out/" and "out/." name the folder "out": drop the empty last component.
    if (!absolute.has_filename()) absolute = absolute.parent_path();
    return absolute;
}

// --replace removes the old tree, so it takes only a folder that holds nothing
// but what the release tool writes: a mistyped --out must not cost a folder of
// other files (keys, a product, a home folder).
void RefuseReplacingOtherContent(const std::string& target, const fs::path& absolute) {
    std::error_code ec;
    if (!fs::is_directory(absolute, ec))
        throw PublishError(target + " is not a folder; --replace replaces only a release tree");
    for (fs::directory_iterator it(absolute, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if ((name != "documents" && name != "files") || !it->is_directory())
            throw PublishError(target + " is not a release tree (it holds " + name +
                               "); --replace replaces only a tree that publish wrote");
    }
    if (ec) throw PublishError("cannot list " + target + ": " + ec.message());
}

void AddOwnerWrite(const fs::path& path, std::error_code& ec) {
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
}

// remove_all, after clearing every read-only mark below folder: Windows
// deletes no read-only file, and trees written by earlier versions of the
// tool hold read-only copies of read-only product files.
void RemoveTree(const fs::path& folder, std::error_code& ec) {
    std::error_code ignored;
    for (fs::recursive_directory_iterator it(folder, ignored), end; !ignored && it != end;
         it.increment(ignored))
        if (!it->is_symlink(ignored)) AddOwnerWrite(it->path(), ignored);
    fs::remove_all(folder, ec);
}

}  // namespace

StagedTree::StagedTree(const std::string& target, bool replaceExisting)
    : m_replaceExisting(replaceExisting) {
    const fs::path absolute = Absolute(target);
    m_target = absolute.string();
    std::error_code ec;
    if (fs::exists(absolute, ec)) {
        if (!replaceExisting) throw PublishError(target + " exists; give --replace to replace it");
        RefuseReplacingOtherContent(target, absolute);
    }
    if (!fs::is_directory(absolute.parent_path(), ec))
        throw PublishError(target + ": the folder " + absolute.parent_path().string() +
                           " does not exist");
    const fs::path staging = FreeSibling(absolute, "publishing");
    if (!fs::create_directory(staging, ec))
        throw PublishError("cannot create " + staging.string() + ": " + ec.message());
    m_staging = staging.string();
}

StagedTree::~StagedTree() {
    if (m_committed) return;
    std::error_code ignored;
    RemoveTree(fs::path(m_staging), ignored);
}

std::string StagedTree::Commit() {
    std::error_code ec;
    const fs::path target(m_target);
    fs::path old;
    if (fs::exists(target, ec)) {
        if (!m_replaceExisting) throw PublishError(m_target + " appeared while publishing");
        old = FreeSibling(target, "replaced");
        fs::rename(target, old, ec);
        if (ec) throw PublishError("cannot move " + m_target + " aside: " + ec.message());
    }
    fs::rename(fs::path(m_staging), target, ec);
    if (ec) {
        std::error_code ignored;
        if (!old.empty()) fs::rename(old, target, ignored);
        throw PublishError("cannot move the new release to " + m_target + ": " + ec.message());
    }
    m_committed = true;
    if (old.empty()) return "";
    RemoveTree(old, ec);
    if (!ec) return "";
    return "the replaced tree is left at " + old.string() + " (" + ec.message() +
           "); remove it by hand";
}

void CreateParentFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (ec) throw PublishError("cannot create the folder of " + path + ": " + ec.message());
}

void CopyServedFile(const std::string& source, const std::string& target) {
    std::error_code ec;
    fs::copy_file(fs::path(source), fs::path(target), fs::copy_options::overwrite_existing, ec);
    if (!ec) AddOwnerWrite(fs::path(target), ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(fs::path(target), ignored);
        throw PublishError("cannot copy " + source + " to " + target + ": " + ec.message());
    }
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (out.fail()) throw PublishError("cannot write " + path);
}

}  // namespace Publish
