#include "updater_copies.h"

#include <filesystem>

#include "client_path_rules.h"
#include "content_token.h"
#include "publish_error.h"
#include "release_tree.h"
#include "marked_block.h"
#include "stamp_file.h"
#include "stamp_floor_block.h"
#include "stamp_image.h"
#include "stamp_key_block.h"

namespace Publish {

const char kUpdaterFolder[] = "updater";

namespace {

constexpr int kChecksumSlot = 5;

std::string ReadChecksum(const std::string& image, std::size_t block, const std::string& path) {
    const std::string checksum = Stamp::ReadSlotText(image, block, kChecksumSlot);
    if (!IsTokenText(checksum))
        throw PublishError(path + ": the updater's checksum slot holds '" + checksum +
                           "', not 32 hex digits; stamp one with stamp --checksum");
    return checksum;
}

// An updater as built, not yet stamped for a service, asks a host under the
// reserved ".invalid" name, which never resolves: installed updaters that
// replaced themselves with it could never reach a release again.
void RefuseUnstampedHost(const std::string& image, std::size_t block, const std::string& path) {
    const std::string host = FoldCase(Stamp::ReadSlotText(image, block, Stamp::kServerHostSlot));
    const std::string reserved = ".invalid";
    if (host == reserved.substr(1) ||
        (host.size() > reserved.size() &&
         host.compare(host.size() - reserved.size(), reserved.size(), reserved) == 0))
        throw PublishError(path + ": the updater's host is " + host +
                           ", which never resolves; list the updater stamped with --host for "
                           "this release (the one handed out for first installations)");
}

// An installed updater with a key hands over only to one with a key, and the
// new one must accept the documents of this release: a copy with another key
// or none would leave installed updaters refusing it, or refusing this
// release after the hand-over.
void CheckDocumentKey(const std::string& image, const std::string& documentKey,
                      const std::string& path) {
    const std::size_t block = Stamp::FindKeyBlock(image);
    const std::string stamped = block == Stamp::kNoKeyBlock ? "" : Stamp::ReadKey(image, block);
    if (stamped == documentKey) return;
    if (documentKey.empty())
        throw PublishError(path +
                           ": the updater carries a document key, but the release is unsigned; "
                           "it would refuse every document of the release: sign it with "
                           "--key and that key's private half");
    if (block == Stamp::kNoKeyBlock)
        throw PublishError(path +
                           ": the updater predates signed documents; list one that checks "
                           "them, stamped with stamp --public-key");
    throw PublishError(path + (stamped.empty() ? ": the updater carries no document key"
                                               : ": the updater carries another document key") +
                       "; stamp it with the signing key's public key (stamp --public-key "
                       "<name>.pub.pem): updaters with a key never hand over to one without, "
                       "and one with another key would refuse this release");
}

// The image as it would be with no release floor, to compare copies of two
// releases that differ only in it.
std::string WithoutFloor(std::string image) {
    const std::size_t block = Stamp::FindFloorBlock(image);
    if (block != Stamp::kNoMarkedBlock) Stamp::WriteFloor(image, block, 0);
    return image;
}

}  // namespace

void WarnOfUpdaterChangedUnderSameChecksum(const std::string& oldTree,
                                           const std::vector<std::string>& downloadIds,
                                           const std::string& filesFolder, std::ostream& warnings) {
    namespace fs = std::filesystem;
    for (const std::string& id : downloadIds) {
        const fs::path old = fs::path(oldTree) / "files" / kUpdaterFolder / id;
        std::error_code ec;
        if (!fs::is_regular_file(old, ec)) continue;
        try {
            const std::string before = WithoutFloor(Stamp::ReadWholeFile(old.string()));
            const std::string now =
                WithoutFloor(Stamp::ReadWholeFile(filesFolder + "/" + kUpdaterFolder + "/" + id));
            const std::string checksum =
                Stamp::ReadSlotText(now, Stamp::FindBlock(now), kChecksumSlot);
            if (before == now ||
                Stamp::ReadSlotText(before, Stamp::FindBlock(before), kChecksumSlot) != checksum)
                continue;
            warnings << "publish: warning: the listed updater differs from the one that the "
                        "replaced tree serves but carries the same checksum "
                     << checksum
                     << "; installed updaters compare only the checksum and keep theirs: stamp "
                        "it with a new --checksum\n";
            return;
        } catch (const Stamp::StampError&) {
            // An old copy without a settings block binds no installed updater.
        }
    }
}

PublishedUpdater PublishUpdater(const std::string& updaterExe,
                                const std::vector<std::string>& downloadIds,
                                const std::string& filesFolder, const UpdaterTerms& terms,
                                std::ostream& warnings) {
    try {
        std::string image = Stamp::ReadWholeFile(updaterExe);
        const std::size_t block = Stamp::FindBlock(image);
        CheckDocumentKey(image, terms.documentKey, updaterExe);
        if (terms.releaseFloor) {
            const std::size_t floorBlock = Stamp::FindFloorBlock(image);
            if (floorBlock != Stamp::kNoMarkedBlock)
                Stamp::WriteFloor(image, floorBlock, *terms.releaseFloor);
            else
                warnings << "publish: warning: " << updaterExe
                         << " has no release floor block (built before release floors): "
                            "copies handed out for first installations accept older "
                            "releases\n";
        }
        PublishedUpdater published;
        ListedFile& entry = published.entry;
        entry.serverPath = std::string("/files/") + kUpdaterFolder + "/";
        entry.clientPath = kUpdaterClientPath;
        entry.checksum = ReadChecksum(image, block, updaterExe);
        RefuseUnstampedHost(image, block, updaterExe);
        entry.size = image.size();
        for (const std::string& id : downloadIds) {
            Stamp::WriteSlotText(image, block, Stamp::kDownloadIdSlot,
                                 Stamp::SlotTextFor(Stamp::kDownloadIdSlot, id, false));
            const std::string copy = filesFolder + "/" + kUpdaterFolder + "/" + id;
            CreateParentFolders(copy);
            WriteWholeFile(copy, image);
            published.copySha256.push_back(HexOfDigest(HashBytes(image)));
        }
        return published;
    } catch (const Stamp::StampError& error) {
        throw PublishError(updaterExe + ": " + error.what());
    }
}

}  // namespace Publish
