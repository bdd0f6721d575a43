#include <gtest/gtest.h>
#include <windows.h>

#include "engine/files/file_version.h"
#include "files_test_helpers.h"
#include "support/recording_dialog.h"
#include "support/scratch.h"

namespace {

std::string OwnExecutable() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST(FileVersion, FormatsHighAndLowWordsInOrder) {
    EXPECT_EQ(Engine::FormatFileVersion(0x00020007, 0x0519002A), "2.7.1305.42");
    EXPECT_EQ(Engine::FormatFileVersion(0, 0), "0.0.0.0");
    EXPECT_EQ(Engine::FormatFileVersion(0xFFFF0001, 0x0001FFFF), "65535.1.1.65535");
}

TEST(FileVersion, RecordsTheVersionOfAnExecutable) {
    // This test program carries the version resource 2.7.1305.42.
    FilesTest::ProductKeyScope key;
    TestSupport::RecordingDialog dialog;
    EXPECT_TRUE(Engine::RecordFileVersion(OwnExecutable()));
    EXPECT_EQ(key.Manager().GetStringValue("FileVersion"), "2.7.1305.42");
    EXPECT_TRUE(dialog.Errors().empty());
}

TEST(FileVersion, FilesWithoutVersionAreRefusedAndMarkedFailed) {
    FilesTest::ProductKeyScope key;
    TestSupport::ScratchFolder folder;
    ASSERT_TRUE(TestSupport::WriteFile(folder / "product.exe", "MZ not really a program"));
    ASSERT_TRUE(key.Manager().SetStringValue("FileVersion", "1.0.0.0"));

    EXPECT_FALSE(Engine::RecordFileVersion(folder / "product.exe"));
    EXPECT_FALSE(Engine::RecordFileVersion(folder / "missing.exe"));
    EXPECT_EQ(key.Manager().GetStringValue("FileVersion"), "1.0.0.0");
    EXPECT_TRUE(Engine::RecordFileVersionFailure());
    EXPECT_EQ(key.Manager().GetStringValue("FileVersion"), "FAILED");
}

TEST(FileVersion, FailedRegistryWriteIsFatal) {
    Utils::RegManager* previous = Utils::g_productKeyManager;
    Utils::g_productKeyManager = nullptr;  // nowhere to write
    TestSupport::RecordingDialog dialog;
    EXPECT_THROW(Engine::RecordFileVersion(OwnExecutable()), TestSupport::FatalReport);
    Utils::g_productKeyManager = previous;
    EXPECT_EQ(dialog.FatalErrors(),
              std::vector<std::string>{"Failed to write to registry, restart and try again."});
}

}  // namespace
