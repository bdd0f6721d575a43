#include <gtest/gtest.h>

#include "support/scratch.h"
#include "utils/reg/reg_manager.h"
#include "utils/unique_handle.h"

namespace {

using Utils::RegManager;

Utils::UniqueRegKey OpenUserKey(const std::string& path) {
    Utils::UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) !=
        ERROR_SUCCESS)
        key.Reset();
    return key;
}

bool UserKeyExists(const std::string& path) { return static_cast<bool>(OpenUserKey(path)); }

// Reads a value as it is stored: its type and its raw bytes.
bool ReadRaw(const std::string& path, const std::string& name, DWORD& type, std::string& bytes) {
    Utils::UniqueRegKey key = OpenUserKey(path);
    if (!key) return false;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    bytes.assign(size, '\0');
    return RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(&bytes[0]), &size) == ERROR_SUCCESS;
}

void WriteRaw(const std::string& path, const std::string& name, DWORD type,
              const std::string& bytes) {
    Utils::UniqueRegKey key = OpenUserKey(path);
    ASSERT_TRUE(key);
    ASSERT_EQ(RegSetValueExA(key.Get(), name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

TEST(RegManagerConstruction, CreatesAMissingKeyEmpty) {
    const std::string name = TestSupport::UniqueName("NimbraRegNew");
    ASSERT_FALSE(UserKeyExists("Software\\" + name));
    RegManager manager(true, name);
    EXPECT_TRUE(UserKeyExists("Software\\" + name));
    EXPECT_TRUE(manager.IsUserRoot());
    EXPECT_EQ(manager.GetKeyName(), name);
    DWORD values = 99;
    DWORD subkeys = 99;
    Utils::UniqueRegKey key = OpenUserKey("Software\\" + name);
    RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(values, 0u);
    EXPECT_EQ(subkeys, 0u);
    key.Reset();
    manager.DeleteValue("", "");
    EXPECT_FALSE(UserKeyExists("Software\\" + name));
}

TEST(RegManagerStrings, OverwriteRules) {
    TestSupport::ScratchRegistryKey scratch;
    RegManager manager(true, scratch.Name());
    EXPECT_TRUE(manager.SetStringValue("Brand", "first", false));
    EXPECT_FALSE(manager.SetStringValue("Brand", "second", false));
    EXPECT_EQ(manager.GetStringValue("Brand"), "first");
    EXPECT_TRUE(manager.SetStringValue("Brand", "third", true));
    EXPECT_EQ(manager.GetStringValue("Brand", "", "dflt"), "third");
    EXPECT_EQ(manager.GetStringValue("Missing", "", "dflt"), "dflt");
    // An empty string is a value like any other and blocks a write without overwrite.
    EXPECT_TRUE(manager.SetStringValue("Empty", "", true));
    EXPECT_EQ(manager.GetStringValue("Empty", "", "dflt"), "");
    EXPECT_FALSE(manager.SetStringValue("Empty", "x", false));
}

TEST(RegManagerStrings, LengthLimitsForWritingAndReading) {
    TestSupport::ScratchRegistryKey scratch;
    RegManager manager(true, scratch.Name());
    // Writes keep the first 1024 characters, stored with their terminator.
    EXPECT_TRUE(manager.SetStringValue("Long", std::string(2000, 'x'), true));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(ReadRaw(scratch.Path(), "Long", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::string(1024, 'x') + '\0');
    // Reads fail for 1024 bytes or more, terminator included, and give the default.
    EXPECT_EQ(manager.GetStringValue("Long", "", "dflt"), "dflt");
    EXPECT_TRUE(manager.SetStringValue("Long", "short", false)) << "the test read fails";
    WriteRaw(scratch.Path(), "Edge", REG_SZ, std::string(1023, 'y') + '\0');
    EXPECT_EQ(manager.GetStringValue("Edge", "", "dflt"), "dflt");
    WriteRaw(scratch.Path(), "Fits", REG_SZ, std::string(1022, 'z') + '\0');
    EXPECT_EQ(manager.GetStringValue("Fits", "", "dflt"), std::string(1022, 'z'));
}

TEST(RegManagerStrings, OnlyStringTypesAreReadAndWritesReplaceOtherTypes) {
    TestSupport::ScratchRegistryKey scratch;
    RegManager manager(true, scratch.Name());
    WriteRaw(scratch.Path(), "Expand", REG_EXPAND_SZ, std::string("%TEMP%\\a", 9));
    WriteRaw(scratch.Path(), "Multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9));
    EXPECT_EQ(manager.GetStringValue("Expand", "", "dflt"), "%TEMP%\\a");
    EXPECT_EQ(manager.GetStringValue("Multi", "", "dflt"), "one");

    ASSERT_TRUE(manager.SetDwordValue("Number", 7, true));
    EXPECT_EQ(manager.GetStringValue("Number", "", "dflt"), "dflt");
    EXPECT_TRUE(manager.SetStringValue("Number", "text", false));
    EXPECT_EQ(manager.GetDwordValue("Number", "", 5), 5u);
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(ReadRaw(scratch.Path(), "Number", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    EXPECT_TRUE(manager.SetDwordValue("Number", 9, false));
    EXPECT_EQ(manager.GetDwordValue("Number", "", 5), 9u);
    EXPECT_FALSE(manager.SetDwordValue("Number", 10, false));
    EXPECT_TRUE(manager.SetDwordValue("Number", 10, true));
    EXPECT_EQ(manager.GetDwordValue("Number", "", 5), 10u);
}

TEST(RegManagerDwords, ZeroWithoutTheKeyDefaultWithoutTheValue) {
    RegManager manager(true, TestSupport::UniqueName("NimbraRegGone"));
    manager.DeleteValue("", "");
    ASSERT_FALSE(UserKeyExists("Software\\" + manager.GetKeyName()));
    EXPECT_EQ(manager.GetDwordValue("IsFirstTime", "", 42), 0u);
    EXPECT_EQ(manager.GetStringValue("ExeName", "", "dflt"), "dflt");
    EXPECT_FALSE(manager.SetDwordValue("IsFirstTime", 1, true));
    EXPECT_FALSE(manager.SetStringValue("ExeName", "a.exe", true));
    EXPECT_FALSE(manager.SubkeyExists("Installed"));
    EXPECT_FALSE(UserKeyExists("Software\\" + manager.GetKeyName()))
        << "only the constructor creates";

    TestSupport::ScratchRegistryKey scratch;
    RegManager present(true, scratch.Name());
    EXPECT_EQ(present.GetDwordValue("IsFirstTime", "", 42), 42u);
    WriteRaw(scratch.Path(), "Short", REG_BINARY, std::string("\x01\x02", 2));
    EXPECT_EQ(present.GetDwordValue("Short", "", 42), 42u);
}

TEST(RegManagerSubkeys, ReadsCreateMissingSubkeys) {
    TestSupport::ScratchRegistryKey scratch;
    RegManager manager(true, scratch.Name());
    EXPECT_FALSE(manager.SubkeyExists("Installed"));
    EXPECT_EQ(manager.GetStringValue("file.dll", "Installed", "dflt"), "dflt");
    EXPECT_TRUE(manager.SubkeyExists("Installed"));
    EXPECT_TRUE(manager.SetStringValue("xmlplace", "c:\\x.xml", true, "Mode"));
    EXPECT_EQ(manager.GetStringValue("xmlplace", "Mode"), "c:\\x.xml");
    EXPECT_EQ(manager.GetStringValue("xmlplace", "", "dflt"), "dflt");
    EXPECT_TRUE(manager.SetDwordValue("n", 3, true, "Deep\\Er"));
    EXPECT_EQ(manager.GetDwordValue("n", "Deep\\Er", 0), 3u);
}

TEST(RegManagerDelete, RemovesValuesSubkeyTreesAndTheWholeKey) {
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

    manager.SetStringValue("x", "1", true, "Mode\\Sub");
    manager.DeleteValue("", "");
    EXPECT_FALSE(UserKeyExists(scratch.Path()));
}

TEST(RegManagerDelete, NeverDeletesTheSoftwareKeyItself) {
    TestSupport::ScratchRegistryKey canary;
    RegManager unnamed(true, "");
    unnamed.DeleteValue("", "");
    EXPECT_TRUE(UserKeyExists("Software"));
    EXPECT_TRUE(UserKeyExists(canary.Path()));
}

TEST(RegManagerClassOperations, WorkOnFullPathsWithoutCreating) {
    TestSupport::ScratchRegistryKey scratch;
    const std::string missing = scratch.Path() + "\\Missing";
    EXPECT_TRUE(RegManager::KeyExists(HKEY_CURRENT_USER, scratch.Path()));
    EXPECT_FALSE(RegManager::KeyExists(HKEY_CURRENT_USER, missing));

    RegManager::SetStringValueAt(HKEY_CURRENT_USER, missing, "v", "x");
    EXPECT_FALSE(UserKeyExists(missing));
    RegManager::SetStringValueAt(HKEY_CURRENT_USER, scratch.Path(), "v", std::string(1500, 'q'));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(ReadRaw(scratch.Path(), "v", type, bytes));
    EXPECT_EQ(bytes.size(), 1025u);

    EXPECT_FALSE(RegManager::StringValueExists(HKEY_CURRENT_USER, scratch.Path(), "v"));
    RegManager::SetStringValueAt(HKEY_CURRENT_USER, scratch.Path(), "v", "short");
    EXPECT_TRUE(RegManager::StringValueExists(HKEY_CURRENT_USER, scratch.Path(), "v"));
    EXPECT_FALSE(RegManager::StringValueExists(HKEY_CURRENT_USER, scratch.Path(), "w"));
    EXPECT_FALSE(RegManager::StringValueExists(HKEY_CURRENT_USER, missing, "v"));
}

TEST(RegManagerSharing, ConcurrentWritersOnOneInstance) {
    TestSupport::ScratchRegistryKey scratch;
    const RegManager manager(true, scratch.Name());
    struct Work {
        const RegManager* manager;
        int id;
    };
    auto writer = [](LPVOID p) -> DWORD {
        const Work* work = static_cast<const Work*>(p);
        for (int i = 0; i < 50; ++i)
            work->manager->SetDwordValue("v" + std::to_string(work->id * 100 + i), i, true,
                                         "Installed");
        return 0;
    };
    Work works[4] = {{&manager, 0}, {&manager, 1}, {&manager, 2}, {&manager, 3}};
    Utils::UniqueKernelHandle threads[4];
    for (int t = 0; t < 4; ++t)
        threads[t].Reset(CreateThread(nullptr, 0, writer, &works[t], 0, nullptr));
    for (auto& thread : threads) WaitForSingleObject(thread.Get(), INFINITE);
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 50; i += 7)
            EXPECT_EQ(manager.GetDwordValue("v" + std::to_string(t * 100 + i), "Installed", 999),
                      static_cast<DWORD>(i));
}

}  // namespace
