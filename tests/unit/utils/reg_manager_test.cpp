#include <gtest/gtest.h>

#include <algorithm>

#include "registry_raw.h"
#include "support/handle_count.h"
#include "support/scratch.h"
#include "utils/reg/reg_manager.h"
#include "utils/unique_handle.h"

namespace {

using Utils::RegManager;

using UtilsTest::OpenUserKey;
using UtilsTest::ReadRaw;
using UtilsTest::UserKeyExists;
using UtilsTest::WriteRaw;

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
    RegManager(true, "").DeleteValue(name);
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

TEST(RegManagerStrings, WhatIsWrittenReadsBack) {
    TestSupport::ScratchRegistryKey scratch;
    RegManager manager(true, scratch.Name());
    // Writes keep the first 1024 characters, stored with their terminator.
    for (std::size_t length : {1023u, 1024u, 2000u}) {
        const std::string name = "Long" + std::to_string(length);
        EXPECT_TRUE(manager.SetStringValue(name, std::string(length, 'x'), true));
        const std::string stored(std::min<std::size_t>(length, 1024), 'x');
        DWORD type = 0;
        std::string bytes;
        ASSERT_TRUE(ReadRaw(scratch.Path(), name, type, bytes));
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(bytes, stored + '\0') << length;
        EXPECT_EQ(manager.GetStringValue(name, "", "dflt"), stored) << length;
        EXPECT_FALSE(manager.SetStringValue(name, "short", false)) << length;
    }
    // Longer values, which no write here stores, give the default and do not
    // block a write without overwrite.
    WriteRaw(scratch.Path(), "Longer", REG_SZ, std::string(1025, 'y') + '\0');
    EXPECT_EQ(manager.GetStringValue("Longer", "", "dflt"), "dflt");
    EXPECT_TRUE(manager.SetStringValue("Longer", "short", false));
    // A value stored without its terminator still reads as the text it holds.
    WriteRaw(scratch.Path(), "Bare", REG_SZ, std::string(1024, 'z'));
    EXPECT_EQ(manager.GetStringValue("Bare", "", "dflt"), std::string(1024, 'z'));
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
    RegManager(true, "").DeleteValue(manager.GetKeyName());
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
    EXPECT_TRUE(RegManager::StringValueExists(HKEY_CURRENT_USER, scratch.Path(), "v"));

    WriteRaw(scratch.Path(), "v", REG_SZ, std::string(1025, 'q') + '\0');
    EXPECT_FALSE(RegManager::StringValueExists(HKEY_CURRENT_USER, scratch.Path(), "v"));
    EXPECT_FALSE(RegManager::StringValueExists(HKEY_CURRENT_USER, scratch.Path(), "w"));
    EXPECT_FALSE(RegManager::StringValueExists(HKEY_CURRENT_USER, missing, "v"));
}

// Every operation closes the keys it opened: the process holds as many
// handles afterwards as before.
TEST(RegManagerSharing, ConcurrentWritersOnOneInstanceLeaveNoHandles) {
    constexpr int kThreads = 15, kValues = 50;
    TestSupport::ScratchRegistryKey scratch;
    const RegManager manager(true, scratch.Name());
    manager.SetDwordValue("warm", 1, true, "Installed");
    struct Work {
        const RegManager* manager;
        int id;
    };
    auto writer = [](LPVOID p) -> DWORD {
        const Work* work = static_cast<const Work*>(p);
        for (int i = 0; i < kValues; ++i) {
            const std::string name = "v" + std::to_string(work->id * 100 + i);
            work->manager->SetDwordValue(name, i, true, "Installed");
            work->manager->SetStringValue(name, "text", false, "Strings");
            work->manager->GetStringValue(name, "Strings");
            work->manager->DeleteValue(name, "Strings");
        }
        return 0;
    };
    const DWORD handlesBefore = TestSupport::ProcessHandleCount();
    ASSERT_GT(handlesBefore, 0u);
    {
        Work works[kThreads];
        Utils::UniqueKernelHandle threads[kThreads];
        for (int t = 0; t < kThreads; ++t) {
            works[t] = {&manager, t};
            threads[t].Reset(CreateThread(nullptr, 0, writer, &works[t], 0, nullptr));
        }
        for (auto& thread : threads) WaitForSingleObject(thread.Get(), INFINITE);
    }
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kValues; i += 7)
            EXPECT_EQ(manager.GetDwordValue("v" + std::to_string(t * 100 + i), "Installed", 999),
                      static_cast<DWORD>(i));
    EXPECT_EQ(TestSupport::ProcessHandleCount(), handlesBefore);
}

}  // namespace
