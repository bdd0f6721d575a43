#include "uninstall/obsolete_file_sweep.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/folder_link.h"
#include "support/scratch.h"
#include "utils/reg/reg_manager.h"
#include "utils/unique_handle.h"

namespace {

using TestSupport::FileExists;

constexpr char kAbsent[] = "<absent>";

// A data folder whose path holds a brand of its own, and a scratch product
// key standing in for the process's product key manager.
class ObsoleteFileSweepTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousKey = Utils::g_productKeyManager;
        Utils::g_productKeyManager = &m_productKey;
    }
    void TearDown() override { Utils::g_productKeyManager = m_previousKey; }

    void CreateFiles(const std::set<std::string>& relativePaths) {
        for (const std::string& path : relativePaths)
            ASSERT_TRUE(TestSupport::WriteFile(m_data + "\\" + path, "x"));
    }
    std::set<std::string> RemainingFiles() const {
        std::set<std::string> files;
        for (const auto& item : std::filesystem::recursive_directory_iterator(m_data)) {
            if (!item.is_directory()) files.insert(item.path().lexically_relative(m_data).string());
        }
        return files;
    }
    std::string Record(const std::string& name) const {
        return m_productKey.GetStringValue(name, "Installed", kAbsent);
    }

    TestSupport::ScratchFolder m_root;
    const std::string m_brand = TestSupport::UniqueName("SweepBrand");
    const std::string m_data = m_root / m_brand;
    TestSupport::ScratchRegistryKey m_scratchKey;
    Utils::RegManager m_productKey{true, m_scratchKey.Name()};
    Utils::RegManager* m_previousKey = nullptr;
};

TEST_F(ObsoleteFileSweepTest, DeletesWhatTheDocumentNoLongerLists) {
    CreateFiles({"app.dll", "old.dll", "Data.Xml", "sub\\b.dll", "sub\\gone.dll",
                 "empty\\deep\\x.tmp", "logs\\run.log", m_brand + ".exe", "app.dll.part2.Kelz",
                 "config.xml.part", "config.xml.part.~9.tmp", "busy.dll"});
    ASSERT_TRUE(m_productKey.SetStringValue("old.dll", "0123abcd", true, "Installed"));
    // A file in use cannot be deleted and must not be recorded as deleted.
    Utils::UniqueFileHandle busy(CreateFileA((m_data + "\\busy.dll").c_str(), GENERIC_READ,
                                             FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(busy);

    EXPECT_EQ(Uninstall::SweepObsoleteFiles(m_data, m_brand, {"app.dll", "Sub/B.DLL"}, ""),
              static_cast<DWORD>(ERROR_NO_MORE_FILES));

    const std::set<std::string> expected = {"app.dll", "busy.dll", "logs\\run.log",
                                            m_brand + ".exe", "sub\\b.dll"};
    EXPECT_EQ(RemainingFiles(), expected);
    EXPECT_FALSE(FileExists(m_data + "\\empty"));
    for (const char* deleted : {"old.dll", "Data.Xml", "sub\\gone.dll", "empty\\deep\\x.tmp"})
        EXPECT_EQ(Record(deleted), "deleted") << deleted;
    for (const char* notRecorded :
         {"busy.dll", "app.dll.part2.Kelz", "config.xml.part", "config.xml.part.~9.tmp"})
        EXPECT_EQ(Record(notRecorded), kAbsent) << notRecorded;
}

TEST_F(ObsoleteFileSweepTest, TouchesNothingOutsideTheBrandOrWithoutOne) {
    const std::string other = m_root / "Other";
    ASSERT_TRUE(TestSupport::WriteFile(other + "\\old.dll", "x"));
    ASSERT_TRUE(std::filesystem::create_directories(other + "\\empty"));
    CreateFiles({"old.dll"});

    EXPECT_EQ(Uninstall::SweepObsoleteFiles(other, m_brand, {}, ""),
              static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_EQ(Uninstall::SweepObsoleteFiles(m_data, "", {}, ""), 0u);
    EXPECT_EQ(Uninstall::SweepObsoleteFiles(m_data + "\\missing", m_brand, {}, ""), 0u);
    EXPECT_TRUE(FileExists(other + "\\old.dll"));
    EXPECT_TRUE(FileExists(other + "\\empty"));
    EXPECT_TRUE(FileExists(m_data + "\\old.dll"));
}

TEST_F(ObsoleteFileSweepTest, DoesNotEnterOrRemoveALinkedFolder) {
    const std::string target = m_root / "target";
    ASSERT_TRUE(TestSupport::WriteFile(target + "\\outside.dll", "x"));
    ASSERT_TRUE(std::filesystem::create_directories(m_data));
    TestSupport::FolderLink link(m_data + "\\linked", target);
    if (!link.IsLink()) GTEST_SKIP() << "no folder links here";

    // Nor does clearing the way for files listed where the link stands or
    // below it, where a file of the target stands in the way of a folder.
    ASSERT_TRUE(TestSupport::WriteFile(target + "\\sub", "x"));
    const std::vector<std::string> listed = {"linked", "linked\\sub\\x.txt"};
    Uninstall::ClearWayForListedFiles(m_data, m_brand, listed, listed);
    Uninstall::SweepObsoleteFiles(m_data, m_brand, {}, "");
    EXPECT_TRUE(FileExists(target + "\\outside.dll"));
    EXPECT_TRUE(FileExists(target + "\\sub"));
    EXPECT_TRUE(link.IsLink());
}

// A product may mark its files read-only; that does not keep an obsolete one.
TEST_F(ObsoleteFileSweepTest, DeletesAReadOnlyObsoleteFile) {
    CreateFiles({"old.dll", "kept.dll"});
    for (const char* name : {"old.dll", "kept.dll"})
        ASSERT_TRUE(SetFileAttributesA((m_data + "\\" + name).c_str(), FILE_ATTRIBUTE_READONLY));

    Uninstall::SweepObsoleteFiles(m_data, m_brand, {"kept.dll"}, "");
    EXPECT_EQ(RemainingFiles(), std::set<std::string>{"kept.dll"});
    EXPECT_EQ(Record("old.dll"), "deleted");
    const std::string kept = m_data + "\\kept.dll";
    EXPECT_NE(GetFileAttributesA(kept.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);  // so the scratch folder goes
}

// Release 1 had the file "data" and the folder "docs"; release 2 has
// "data\x.txt" and the file "docs". Before those are fetched, the old entries
// go as the sweep would take them: the file with its record, the folder's
// obsolete files with theirs, and the folder once it is empty.
TEST_F(ObsoleteFileSweepTest, ClearsTheWayForAFileThatBecameAFolderAndTheOtherWayRound) {
    CreateFiles({"data", "docs\\a.txt", "docs\\sub\\b.txt", "app.dll"});
    ASSERT_TRUE(SetFileAttributesA((m_data + "\\data").c_str(), FILE_ATTRIBUTE_READONLY));
    const std::vector<std::string> listed = {"data\\x.txt", "docs", "app.dll"};

    Uninstall::ClearWayForListedFiles(m_data, m_brand, listed, {"data\\x.txt", "docs"});
    EXPECT_EQ(RemainingFiles(), std::set<std::string>{"app.dll"});
    EXPECT_FALSE(FileExists(m_data + "\\docs"));
    for (const char* deleted : {"data", "docs\\a.txt", "docs\\sub\\b.txt"})
        EXPECT_EQ(Record(deleted), "deleted") << deleted;
}

// What the sweep keeps stays in the way: the installation of that file then
// fails as it did before, and nothing of the product's own is lost.
TEST_F(ObsoleteFileSweepTest, LeavesAnObstacleThatTheSweepKeeps) {
    CreateFiles({"logs.xml", "docs\\run.log", "docs\\old.txt", "both", "free.txt"});
    const std::vector<std::string> listed = {"logs.xml\\a.txt", "docs", "both", "both\\c.txt"};

    Uninstall::ClearWayForListedFiles(m_data, m_brand, listed,
                                      {"logs.xml\\a.txt", "docs", "both\\c.txt", "free.txt"});
    const std::set<std::string> expected = {"logs.xml", "docs\\run.log", "both", "free.txt"};
    EXPECT_EQ(RemainingFiles(), expected);
    EXPECT_EQ(Record("docs\\old.txt"), "deleted");
    for (const char* kept : {"logs.xml", "docs\\run.log", "both", "free.txt"})
        EXPECT_EQ(Record(kept), kAbsent) << kept;
}

}  // namespace
