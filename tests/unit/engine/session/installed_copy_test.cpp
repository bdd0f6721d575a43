// The updater's installed copy and the "Installed" records it is compared with.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/installed_copy.h"
#include "engine/installed_records.h"
#include "support/scratch.h"
#include "utils/reg/reg_manager.h"
#include "utils/unique_handle.h"

namespace {

using TestSupport::FileExists;
using TestSupport::ReadFile;
using TestSupport::WriteFile;

TEST(CopyThroughSideFile, ReplacesOnlyWithACompleteCopy) {
    TestSupport::ScratchFolder folder;
    const std::string source = folder / "new.exe", target = folder / "Acme.exe";
    const std::string image(300 * 1024 + 7, 'N');  // several copy blocks and a tail
    ASSERT_TRUE(WriteFile(source, image));
    ASSERT_TRUE(WriteFile(target, "old copy"));

    EXPECT_FALSE(Engine::CopyThroughSideFile(folder / "missing.exe", target));
    EXPECT_EQ(ReadFile(target), "old copy");
    {
        // The side file can't be created: the installed copy stays as it was.
        Utils::UniqueFileHandle blocker(::CreateFileA((target + ".part").c_str(), GENERIC_WRITE, 0,
                                                      nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(blocker.IsValid());
        EXPECT_FALSE(Engine::CopyThroughSideFile(source, target));
        EXPECT_EQ(ReadFile(target), "old copy");
    }
    ::DeleteFileA((target + ".part").c_str());

    EXPECT_TRUE(Engine::CopyThroughSideFile(source, target));
    EXPECT_EQ(ReadFile(target), image);
    EXPECT_FALSE(FileExists(target + ".part"));
}

TEST(InstalledRecords, ReadsEveryTextValueIgnoringCase) {
    TestSupport::ScratchRegistryKey key;
    Utils::RegManager productKey(true, key.Name());
    EXPECT_EQ(Engine::InstalledRecords(productKey).Count(), 0u);  // no subkey yet

    ASSERT_TRUE(productKey.SetStringValue("bin\\App.exe", "SUM1", true, "Installed"));
    ASSERT_TRUE(productKey.SetStringValue("data\\x.dat", "sum2", true, "Installed"));
    ASSERT_TRUE(productKey.SetDwordValue("number", 5, true, "Installed"));
    const Engine::InstalledRecords records(productKey);
    EXPECT_EQ(records.Count(), 2u);
    EXPECT_EQ(records.Get("BIN\\app.EXE"), "SUM1");
    EXPECT_EQ(records.Get("data\\x.dat"), "sum2");  // checksums keep their case
    EXPECT_EQ(records.Get("number"), "");
    EXPECT_EQ(records.Get("missing"), "");

    // A file is current while its record holds the checksum and the file is there.
    TestSupport::ScratchFolder folder;
    const std::string recorded = folder / "App.exe";
    ASSERT_TRUE(productKey.SetStringValue(recorded, "SUM1", true, "Installed"));
    const Engine::InstalledRecords withFile(productKey);
    EXPECT_FALSE(withFile.IsUpToDate(recorded, "SUM1"));  // recorded, but deleted since
    ASSERT_TRUE(TestSupport::WriteFile(recorded, "x"));
    EXPECT_TRUE(withFile.IsUpToDate(recorded, "SUM1"));
    EXPECT_FALSE(withFile.IsUpToDate(recorded, "SUM2"));
    const std::string file = folder / "plain.txt";
    EXPECT_FALSE(records.IsUpToDate(file, ""));
    ASSERT_TRUE(TestSupport::WriteFile(file, "x"));
    EXPECT_TRUE(records.IsUpToDate(file, ""));
    EXPECT_FALSE(records.IsUpToDate(folder.Path(), ""));
    // A foreign element among the files reads as an empty position: nothing to fetch.
    EXPECT_TRUE(records.IsUpToDate("", ""));
    EXPECT_FALSE(records.IsUpToDate("", "SUM1"));
}

}  // namespace
