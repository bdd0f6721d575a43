#include "app/uninstall_launcher.h"

#include <gtest/gtest.h>

#include "support/scratch.h"

namespace {

std::string BinaryContent(size_t size) {
    std::string content(size, '\0');
    for (size_t i = 0; i < size; ++i) content[i] = static_cast<char>((i * 7 + i / 512) & 0xFF);
    return content;
}

TEST(CopyFileBytes, CopiesExactlyAndReplacesAnOlderLongerFile) {
    TestSupport::ScratchFolder folder;
    for (size_t size : {size_t(0), size_t(1), size_t(512), size_t(513), size_t(70000)}) {
        const std::string content = BinaryContent(size);  // includes \r, \n and \x1a bytes
        ASSERT_TRUE(TestSupport::WriteFile(folder / "source.exe", content));
        ASSERT_TRUE(TestSupport::WriteFile(folder / "copy.exe", std::string(100000, 'x')));
        EXPECT_TRUE(App::CopyFileBytes(folder / "source.exe", folder / "copy.exe")) << size;
        EXPECT_EQ(TestSupport::ReadFile(folder / "copy.exe"), content) << size;
    }
}

TEST(CopyFileBytes, MissingSourceLeavesTheTargetAlone) {
    TestSupport::ScratchFolder folder;
    EXPECT_FALSE(App::CopyFileBytes(folder / "missing.exe", folder / "copy.exe"));
    EXPECT_FALSE(TestSupport::FileExists(folder / "copy.exe"));
    TestSupport::WriteFile(folder / "source.exe", "data");
    EXPECT_FALSE(App::CopyFileBytes(folder / "source.exe", folder / "no such folder\\copy.exe"));
}

}  // namespace
