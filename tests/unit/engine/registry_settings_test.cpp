#include "engine/registry_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch.h"
#include "support/update_document_builder.h"
#include "utils/unique_handle.h"

namespace {

using Attributes = TestSupport::UpdateDocumentBuilder::Attributes;

constexpr char kAbsent[] = "<absent>";
const std::string kTooLongPath(300, 'k');  // longer than any key name the registry accepts

struct StoredValue {
    std::string path;
    std::string name;
    std::string value;  // kAbsent: no string value of that name
};

struct RegistryCase {
    const char* description;
    std::vector<Attributes> elements;
    bool omitGroup;
    std::vector<StoredValue> before;
    bool expectedResult;
    std::vector<StoredValue> after;
};

Attributes Entry(const std::string& path, const std::string& name, const std::string& value,
                 const std::string& isOverride) {
    return {{"Path", path}, {"Key", name}, {"Value", value}, {"IsOverride", isOverride}};
}

const RegistryCase kCases[] = {
    {"no group", {}, true, {}, true, {}},
    {"only exact lower-case true replaces",
     {Entry("S", "a", "new", "true"), Entry("S", "b", "new", "True"),
      Entry("S", "c", "new", "TRUE"), Entry("S", "d", "new", "no")},
     false,
     {{"S", "a", "old"}, {"S", "b", "old"}, {"S", "c", "old"}},
     true,
     {{"S", "a", "new"}, {"S", "b", "old"}, {"S", "c", "old"}, {"S", "d", "new"}}},
    {"kept value counts as written, later ones follow",
     {Entry("", "Kept", "new", "false"), Entry("", "Next", "written", "false")},
     false,
     {{"", "Kept", "old"}},
     true,
     {{"", "Kept", "old"}, {"", "Next", "written"}}},
    {"later element of the same name wins",
     {Entry("S", "v", "first", "true"), Entry("S", "v", "second", "true")},
     false,
     {},
     true,
     {{"S", "v", "second"}}},
    {"every level of a deep path is created",
     {Entry("A\\B\\C", "v", "deep", "false")},
     false,
     {},
     true,
     {{"A\\B\\C", "v", "deep"}}},
    {"missing attributes read as empty",
     {{{"Key", "NoPath"}, {"Value", "x"}}, {{"Path", "S"}, {"Key", "NoValue"}}, {}},
     false,
     {{"S", "NoValue", "old"}},
     true,
     {{"", "NoPath", "x"}, {"S", "NoValue", "old"}, {"", "", ""}}},
    {"a key that cannot be created stops the writes",
     {Entry("S", "before", "1", "true"), Entry(kTooLongPath, "v", "2", "true"),
      Entry("S", "after", "3", "true")},
     false,
     {},
     false,
     {{"S", "before", "1"}, {"S", "after", kAbsent}}},
};

// Counts the values and subkeys directly in the key.
DWORD CountEntries(const std::string& path) {
    Utils::UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return 0;
    DWORD subkeys = 0;
    DWORD values = 0;
    RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    return subkeys + values;
}

TEST(RegistrySettingsTest, WritesTheDocumentsValues) {
    TestSupport::ScratchFolder folder;
    for (const RegistryCase& test : kCases) {
        SCOPED_TRACE(test.description);
        TestSupport::ScratchRegistryKey scratch;
        Utils::RegManager productKey(true, scratch.Name());
        for (const StoredValue& stored : test.before)
            ASSERT_TRUE(productKey.SetStringValue(stored.name, stored.value, true, stored.path));

        TestSupport::UpdateDocumentBuilder builder;
        builder.OmitEmptyGroups(test.omitGroup);
        for (const Attributes& element : test.elements) builder.AddRegistryAttributes(element);
        const std::string path = folder / TestSupport::UniqueName("update");
        ASSERT_TRUE(builder.WriteTo(path));
        UpdateDocument document;
        ASSERT_EQ(document.Load(path), UpdateDocument::LoadStatus::Loaded);

        EXPECT_EQ(Engine::ApplyRegistrySettings(document, productKey), test.expectedResult);
        if (test.elements.empty()) {
            EXPECT_EQ(CountEntries(scratch.Path()), 0u);
        }
        for (const StoredValue& expected : test.after) {
            EXPECT_EQ(productKey.GetStringValue(expected.name, expected.path, kAbsent),
                      expected.value)
                << expected.path << "\\" << expected.name;
        }
    }
}

}  // namespace
