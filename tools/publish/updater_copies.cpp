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
