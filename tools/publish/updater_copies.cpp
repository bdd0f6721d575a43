#include "updater_copies.h"

#include "client_path_rules.h"
#include "content_token.h"
#include "publish_error.h"
#include "release_tree.h"
#include "stamp_file.h"
#include "stamp_image.h"

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

}  // namespace

PublishedUpdater PublishUpdater(const std::string& updaterExe,
                                const std::vector<std::string>& downloadIds,
                                const std::string& filesFolder) {
    try {
        std::string image = Stamp::ReadWholeFile(updaterExe);
        const std::size_t block = Stamp::FindBlock(image);
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
