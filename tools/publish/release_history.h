#pragma once
// What the tree about to be replaced already promised installed updaters.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Publish {

// Refuses to replace a signed document of one of the ids in the tree at
// outFolder with an unsigned one (no releaseNumber) or with a lower release
// number: updaters stamped with the key, having accepted the old document,
// refuse the new one. An absent or unsigned old document allows anything.
// Throws PublishError naming the document.
void CheckReleaseNumberGoesOn(const std::string& outFolder, const std::vector<std::string>& ids,
                              const std::optional<std::uint64_t>& releaseNumber);

// Refuses to sign other content for id under the release number that the
// tree at outFolder already published for it: updaters accept their recorded
// number again (a run must be repeatable), so both documents would stay
// valid and the earlier one could be replayed. The same text again (a tree
// published anew) passes. Throws PublishError naming the document.
void CheckReleaseNumberNotReused(const std::string& outFolder, const std::string& id,
                                 std::uint64_t releaseNumber, const std::string& xml);

// The ClientRelativePath of every UpdateFile in the first document of ids
// that the tree at outFolder holds and that parses (the documents of one
// release list the same files); empty when there is none.
std::vector<std::string> PublishedClientPaths(const std::string& outFolder,
                                              const std::vector<std::string>& ids);

}  // namespace Publish
