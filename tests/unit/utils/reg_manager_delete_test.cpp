// RegManager::DeleteValue: values, subkey trees, product keys, and the empty
// name that must never take a whole key with it.
#include <gtest/gtest.h>

#include "registry_raw.h"
#include "support/scratch.h"
#include "utils/reg/reg_manager.h"

namespace {

using Utils::RegManager;
using UtilsTest::UserKeyExists;
using UtilsTest::ValueExists;

TEST(RegManagerDelete, RemovesValuesAndSubkeyTrees) {
    TestSupport::ScratchRegistryKey scratch;
    RegManager manager(true, scratch.Name());
    manager.SetStringValue("keep", "1", true);
    manager.SetStringValue("gone", "1", true);
    manager.SetStringValue("a", "1", true, "Installed");
    manager.SetStringValue("b", "1", true, "Installed\\Nested\\Deeper");
    manager.SetStringValue("c", "1", true, "Installed\\Other");

    manager.DeleteValue("gone");
    EXPECT_EQ(manager.GetStringValue("gone", "", "dflt"), "dflt");
    EXPECT_EQ(manager.GetStringValue("keep"), "1");

    manager.DeleteValue("a", "Installed");
    EXPECT_EQ(manager.GetStringValue("a", "Installed", "dflt"), "dflt");
    manager.DeleteValue("Installed");
    EXPECT_FALSE(manager.SubkeyExists("Installed"));
    EXPECT_EQ(manager.GetStringValue("keep"), "1");
}

// Stands for the list of installed programs: every subkey is someone's entry.
TEST(RegManagerDelete, AnEmptyNameDeletesOnlyTheDefaultValue) {
    TestSupport::ScratchRegistryKey scratch;
    RegManager list(true, scratch.Name());
    list.SetStringValue("", "list default", true);
    list.SetStringValue("", "entry default", true, "ProgramA");
    list.SetStringValue("DisplayName", "A", true, "ProgramA");
    list.SetStringValue("DisplayName", "B", true, "ProgramB\\Nested");

    list.DeleteValue("", "ProgramA");
    EXPECT_FALSE(ValueExists(scratch.Path() + "\\ProgramA", ""));
    EXPECT_EQ(list.GetStringValue("DisplayName", "ProgramA"), "A");

    for (const char* name : {"", "\\", "\\\\"}) {
        list.DeleteValue(name);
        list.DeleteValue(name, "");
        EXPECT_TRUE(UserKeyExists(scratch.Path())) << "'" << name << "'";
        EXPECT_TRUE(list.SubkeyExists("ProgramA")) << "'" << name << "'";
        EXPECT_TRUE(list.SubkeyExists("ProgramB\\Nested")) << "'" << name << "'";
    }
    EXPECT_FALSE(ValueExists(scratch.Path(), ""));
    EXPECT_EQ(list.GetStringValue("DisplayName", "ProgramB\\Nested"), "B");
}

TEST(RegManagerDelete, AProductKeyGoesThroughAManagerOfSoftware) {
    TestSupport::ScratchRegistryKey product, sibling;
    RegManager manager(true, product.Name());
    manager.SetStringValue("ExeName", "a.exe", true);
    manager.SetDwordValue("n", 1, true, "Installed\\Deeper");
    UtilsTest::WriteRaw("Software", product.Name(), REG_SZ, std::string("same name", 10));

    RegManager software(true, "");
    software.DeleteValue(product.Name());
    EXPECT_FALSE(UserKeyExists(product.Path()));
    EXPECT_FALSE(ValueExists("Software", product.Name()));
    EXPECT_TRUE(UserKeyExists(sibling.Path()));
    EXPECT_TRUE(UserKeyExists("Software"));
}

TEST(RegManagerDelete, NeverDeletesTheSoftwareKeyItself) {
    TestSupport::ScratchRegistryKey canary;
    RegManager unnamed(true, "");
    unnamed.DeleteValue("", "");
    unnamed.DeleteValue("\\", "");
    EXPECT_TRUE(UserKeyExists("Software"));
    EXPECT_TRUE(UserKeyExists(canary.Path()));
}

// A key that can be neither opened nor deleted: its security grants nobody
// anything (Wine still grants DELETE then), and it holds a subkey, which a
// key must not have to be deleted. The owner gives the rights back at the end.
class LockedKey {
public:
    explicit LockedKey(const std::string& path) : m_path(path) {
        UtilsTest::CreateUserKey(path + "\\Inside");
        ACL empty;
        InitializeAcl(&empty, sizeof(empty), ACL_REVISION);
        SetDacl(&empty);
    }
    ~LockedKey() { SetDacl(nullptr); }
    LockedKey(const LockedKey&) = delete;
    LockedKey& operator=(const LockedKey&) = delete;

    bool Locked() const { return !UserKeyExists(m_path); }

private:
    // A null DACL grants everyone everything.
    void SetDacl(ACL* dacl) {
        Utils::UniqueRegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, WRITE_DAC, key.Receive()) !=
            ERROR_SUCCESS)
            return;
        SECURITY_DESCRIPTOR descriptor;
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&descriptor, TRUE, dacl, FALSE);
        RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &descriptor);
    }

    std::string m_path;
};

DWORD WINAPI DeleteProductKey(LPVOID manager) {
    static_cast<const RegManager*>(manager)->DeleteValue("Product");
    return 0;
}

TEST(RegManagerDelete, ASubkeyThatCannotBeDeletedIsPassedOver) {
    TestSupport::ScratchRegistryKey scratch;
    const std::string product = scratch.Path() + "\\Product";
    const RegManager manager(true, scratch.Name());
    manager.SetStringValue("v", "1", true, "Product\\A");
    manager.SetStringValue("v", "1", true, "Product\\Z\\Deeper");
    LockedKey locked(product + "\\M");
    if (!locked.Locked()) GTEST_SKIP() << "key security is not enforced here";

    Utils::UniqueKernelHandle thread(
        CreateThread(nullptr, 0, DeleteProductKey, const_cast<RegManager*>(&manager), 0, nullptr));
    ASSERT_TRUE(thread);
    if (WaitForSingleObject(thread.Get(), 10000) != WAIT_OBJECT_0) {
        TerminateThread(thread.Get(), 1);
        FAIL() << "the deletion did not end";
    }
    EXPECT_FALSE(UserKeyExists(product + "\\A"));
    EXPECT_FALSE(UserKeyExists(product + "\\Z"));
    EXPECT_TRUE(UserKeyExists(product)) << "a key with a subkey that stays stays too";
}

}  // namespace
