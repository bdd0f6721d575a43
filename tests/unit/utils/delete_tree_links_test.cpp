// DeleteTree and folder links: a link inside the tree, or the tree itself
// being a link, must never cost a file outside the tree.
#include <gtest/gtest.h>

#include "support/folder_link.h"
#include "support/scratch.h"
#include "utils/file/file_utils.h"

namespace {

using TestSupport::FileExists;

struct Outside {
    explicit Outside(const std::string& root)
        : folder(root), file(root + "\\keep.txt"), nested(root + "\\Inner\\deep.txt") {
        TestSupport::WriteFile(file, "outside");
        TestSupport::WriteFile(nested, "outside");
    }
    bool Intact() const { return FileExists(file) && FileExists(nested); }
    std::string folder, file, nested;
};

TEST(DeleteTreeLinks, LinksInsideTheTreeAreRemovedNotEntered) {
    TestSupport::ScratchFolder scratch;
    const Outside outside(scratch / "Outside");
    const std::string tree = scratch / "Tree";
    ASSERT_TRUE(TestSupport::WriteFile(tree + "\\a.txt", "a"));
    ASSERT_TRUE(TestSupport::WriteFile(tree + "\\Sub\\b.txt", "b"));
    TestSupport::FolderLink top(tree + "\\top", outside.folder);
    TestSupport::FolderLink deep(tree + "\\Sub\\deep", outside.folder);
    if (!top.IsLink() || !deep.IsLink()) GTEST_SKIP() << "no folder links here";

    Utils::File::DeleteTree(tree);
    EXPECT_TRUE(outside.Intact());
    EXPECT_FALSE(FileExists(tree + "\\a.txt"));
    EXPECT_FALSE(FileExists(tree + "\\Sub\\b.txt"));
}

TEST(DeleteTreeLinks, ATreeThatIsItselfALinkKeepsItsTarget) {
    TestSupport::ScratchFolder scratch;
    const Outside outside(scratch / "Outside");
    TestSupport::FolderLink link(scratch / "Given", outside.folder);
    if (!link.IsLink()) GTEST_SKIP() << "no folder links here";

    Utils::File::DeleteTree(scratch / "Given");
    EXPECT_TRUE(outside.Intact());
}

}  // namespace
