#include "engine/release_guard.h"

#include "document/document_values.h"
#include "utils/reg/reg_manager.h"

namespace Engine {
namespace {
constexpr char kReleasesSubkey[] = "Releases";
}  // namespace

uint64_t RecordedRelease(const Utils::RegManager& productKey, const std::string& downloadId) {
    uint64_t recorded = 0;
    DocumentValues::ParseReleaseNumber(productKey.GetStringValue(downloadId, kReleasesSubkey),
                                       recorded);
    return recorded;
}

ReleaseCheck AcceptRelease(const Utils::RegManager& productKey, const std::string& downloadId,
                           uint64_t release, uint64_t stampedFloor) {
    const uint64_t recorded = RecordedRelease(productKey, downloadId);
    if (release < recorded || release < stampedFloor) return ReleaseCheck::Older;
    return productKey.SetStringValue(downloadId, std::to_string(release), true, kReleasesSubkey)
               ? ReleaseCheck::Accepted
               : ReleaseCheck::WriteFailed;
}

}  // namespace Engine
