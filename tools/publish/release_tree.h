#pragma once
// A release tree written beside its final place and moved there whole, so a
// served tree is never half-written: a failed run leaves no trace, and a
// replaced tree is swapped out in two renames.
#include <string>

namespace Publish {

class StagedTree {
public:
    // Creates an empty sibling folder of target (".<name>.publishing-<n>").
    // Throws PublishError when target exists and replacing was not asked for
    // or it holds anything but documents/ and files/, when target's parent
    // folder is missing, or the folder cannot be made.
    StagedTree(const std::string& target, bool replaceExisting);
    // Removes the staging folder and all in it unless Commit() succeeded.
    ~StagedTree();
    StagedTree(const StagedTree&) = delete;
    StagedTree& operator=(const StagedTree&) = delete;

    // The folder to write into.
    const std::string& Path() const { return m_staging; }
    // Moves the staging folder to the target. An existing target is first
    // moved aside and removed only once the new tree is in place; if the new
    // tree cannot be put in place the old one is moved back. Throws PublishError.
    // Returns "" or, when the new tree is in place but the old one could not be
    // removed, a sentence naming the folder left behind and why.
    std::string Commit();

private:
    std::string m_target;
    std::string m_staging;
    bool m_replaceExisting;
    bool m_committed = false;
};

// Creates every folder of path's parent. Throws PublishError.
void CreateParentFolders(const std::string& path);

// Writes content as the whole file. Throws PublishError.
void WriteWholeFile(const std::string& path, const std::string& content);

// Copies source to target (replacing it) as a plain file that a later run
// can remove: a read-only mark of the source does not travel. Throws
// PublishError; nothing is left at target then.
void CopyServedFile(const std::string& source, const std::string& target);

}  // namespace Publish
