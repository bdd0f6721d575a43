#pragma once
// A symbolic link to a folder for the length of a test. Where the system
// cannot make one (Wine accepts the call but creates nothing), a Unix link
// made through Wine's path mapping stands in: Wine reports it as a reparse
// point too. Wine follows such a link when asked to remove it, so the link
// is removed on the Unix side as well.
#include <string>

namespace TestSupport {

class FolderLink {
public:
    FolderLink(const std::string& link, const std::string& target);
    ~FolderLink();
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

    // True when the link exists and shows as a reparse point.
    bool IsLink() const;

private:
    // Runs a Unix command through Wine and waits until done() or 5 s passed.
    template <typename Done>
    bool RunUnixCommand(const std::string& arguments, Done done) const;

    std::string m_link;
    bool m_madeOnUnixSide = false;
};

}  // namespace TestSupport
