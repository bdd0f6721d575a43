#include <gtest/gtest.h>

#include <vector>

#include "document_test_fixture.h"

namespace {

using Strings = std::vector<std::string>;

TestSupport::UpdateDocumentBuilder ThreeFiles() {
    TestSupport::UpdateDocumentBuilder builder;
    builder.Root("ProductExePath", "bin\\app.exe")
        .Root("FilesServer", "files.example.test")
        .Root("SkinURL", "http://skin.example.test/?a=1&b=2")
        .Root("CompressFilePath", "tools\\unz.exe")
        .Root("CompressWAVPath", "tools\\unw.exe")
        .Root("UninstallIconPath", "app.ico")
        .Root("UpdateResourceExePath", "tools\\res.exe")
        .AddFile({"/f/app.exe.Kelz", "bin\\app.exe", "AAAA", 1234, true})
        .AddFile({"/f/readme.txt", "readme.txt", "BBBB", 5000000000LL, false})
        .AddFile({"/f/a&b.dat", "data\\a&b \xE9\"<\xE9", "CCCC", 0, false})
        .AddRegistry({"Settings", "Color", "blue", "true"})
        .AddRegistry({"Settings", "Size", "3", "false"});
    return builder;
}

TEST_F(DocumentTest, RootValuesAndFileListsReadBack) {
    ASSERT_EQ(UpdateDocument::LoadStatus::Loaded, LoadText(ThreeFiles().Build()));
    EXPECT_EQ("bin\\app.exe", m_document.GetProductExePath());
    EXPECT_EQ("bin", m_document.GetProductExeFolder());
    EXPECT_EQ("app.exe", m_document.GetProductExeName());
    EXPECT_EQ("files.example.test", m_document.GetFilesServer());
    EXPECT_EQ("http://skin.example.test/?a=1&b=2", m_document.GetSkinUrl());
    EXPECT_EQ("tools\\unz.exe", m_document.GetCompressFilePath());
    EXPECT_EQ("tools\\unw.exe", m_document.GetCompressWavPath());
    EXPECT_EQ("app.ico", m_document.GetUninstallIconPath());
    EXPECT_EQ("tools\\res.exe", m_document.GetUpdateResourceExePath());

    EXPECT_EQ((Strings{"/f/app.exe.Kelz", "/f/readme.txt", "/f/a&b.dat"}),
              m_document.GetServerRelativePaths());
    EXPECT_EQ((Strings{"bin\\app.exe", "readme.txt", "data\\a&b \xE9\"<\xE9"}),
              m_document.GetClientRelativePaths());
    EXPECT_EQ((Strings{"AAAA", "BBBB", "CCCC"}), m_document.GetCheckSums());
    EXPECT_EQ((std::vector<int64_t>{1234, 5000000000LL, 0}), m_document.GetSizes());
    EXPECT_EQ((std::vector<bool>{true, false, false}), m_document.GetCompressedFlags());

    const std::vector<UpdateFileEntry> entries = m_document.GetFileEntries();
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ("/f/readme.txt", entries[1].serverRelativePath);
    EXPECT_EQ("readme.txt", entries[1].clientRelativePath);
    EXPECT_EQ("BBBB", entries[1].checkSum);
    EXPECT_EQ(5000000000LL, entries[1].size);
    EXPECT_TRUE(entries[0].isCompressed);

    EXPECT_EQ((Strings{"Color", "Size"}),
              m_document.GetAttributeList("Key", "Registry", "UpdateRegistry"));
    EXPECT_EQ((Strings{"true", "false"}),
              m_document.GetAttributeList("IsOverride", "Registry", "UpdateRegistry"));
}

TEST_F(DocumentTest, GeneralLookupFollowsNamesIndexesAndCase) {
    ASSERT_EQ(UpdateDocument::LoadStatus::Loaded, LoadText(ThreeFiles().Build()));
    const struct {
        const char* attribute;
        const char* element;
        const char* group;
        int index;
        const char* expected;
    } cases[] = {
        {"FilesServer", "", "", 0, "files.example.test"},
        {"FilesServer", "UpdateFile", "", 7, "files.example.test"},  // no group: root
        {"Missing", "", "", 0, ""},
        {"CheckSum", "UpdateFile", "UpdateFiles", 0, "AAAA"},
        {"CheckSum", "UpdateFile", "UpdateFiles", 2, "CCCC"},
        {"CheckSum", "UpdateFile", "UpdateFiles", 3, ""},
        {"CheckSum", "UpdateFile", "UpdateFiles", -1, ""},
        {"checksum", "UpdateFile", "UpdateFiles", 0, ""},  // names match with case
        {"CheckSum", "updatefile", "UpdateFiles", 0, ""},
        {"CheckSum", "UpdateFile", "updatefiles", 0, ""},
        {"CheckSum", "UpdateFile", "UpdateRegistry", 0, ""},
        {"Value", "Registry", "UpdateRegistry", 0, "blue"},
        {"Value", "Registry", "UpdateRegistry", 1, "3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, m_document.GetAttribute(c.attribute, c.element, c.group, c.index))
            << c.attribute << " " << c.element << " " << c.group << " " << c.index;
    }
}

// The list accessors walk the document once; they must return what the
// lookup by index returns at every position of the count.
TEST_F(DocumentTest, ListsEqualTheLookupByIndexForOddShapes) {
    const std::string file = "<UpdateFile CheckSum=\"A\" Size=\"1\"/>";
    const std::string file2 = "<UpdateFile CheckSum=\"B\" Size=\"12abc\" IsCompressed=\"TRUE\"/>";
    const struct {
        std::string inner;
        Strings checkSums;
    } cases[] = {
        {"", {}},
        {"<UpdateFiles/>", {}},
        {"<UpdateFiles>" + file + "<Note/>" + file2 + "</UpdateFiles>", {"A", "B", ""}},
        {"<UpdateFiles><Note/>" + file + "<Other/><Note/></UpdateFiles>", {"A", "", ""}},
        {"<UpdateFiles>" + file + "text<!-- c -->" + file2 + "</UpdateFiles>", {"A", "B"}},
        // A first-child match may be a node of any kind; then nothing is listed.
        {"<UpdateFiles><!--UpdateFile-->" + file + "</UpdateFiles>", {}},
        {"<UpdateFiles>UpdateFile" + file + "</UpdateFiles>", {}},
        {"<!--UpdateFiles--><UpdateFiles>" + file + "</UpdateFiles>", {}},
        // Only the first group counts.
        {"<UpdateFiles>" + file + "</UpdateFiles><UpdateFiles>" + file2 + "</UpdateFiles>", {"A"}},
        // Nested elements are not siblings.
        {"<UpdateFiles><UpdateFile CheckSum=\"A\">" + file2 + "</UpdateFile></UpdateFiles>", {"A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inner);
        ASSERT_EQ(UpdateDocument::LoadStatus::Loaded, LoadText(Wrap(c.inner)));
        const int count = m_document.CountElements("UpdateFile", "UpdateFiles");
        EXPECT_EQ(static_cast<int>(c.checkSums.size()), count);
        EXPECT_EQ(c.checkSums, m_document.GetCheckSums());
        const Strings sizes = m_document.GetAttributeList("Size", "UpdateFile", "UpdateFiles");
        ASSERT_EQ(static_cast<size_t>(count), sizes.size());
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(m_document.GetAttribute("Size", "UpdateFile", "UpdateFiles", i), sizes[i]);
        }
        EXPECT_EQ(static_cast<size_t>(count), m_document.GetServerRelativePaths().size());
        EXPECT_EQ(static_cast<size_t>(count), m_document.GetClientRelativePaths().size());
        EXPECT_EQ(static_cast<size_t>(count), m_document.GetSizes().size());
        EXPECT_EQ(static_cast<size_t>(count), m_document.GetCompressedFlags().size());
        EXPECT_EQ(static_cast<size_t>(count), m_document.GetFileEntries().size());
    }
}

TEST_F(DocumentTest, ForeignElementLeavesEmptyEntriesAtTheEnd) {
    const std::string inner =
        "<UpdateFiles><UpdateFile ServerRelativePath=\"s1\" Size=\"12abc\" IsCompressed=\"TRUE\"/>"
        "<Note/><UpdateFile ServerRelativePath=\"s2\" Size=\"\" IsCompressed=\"true\"/>"
        "</UpdateFiles>";
    ASSERT_EQ(UpdateDocument::LoadStatus::Loaded, LoadText(Wrap(inner)));
    EXPECT_EQ((Strings{"s1", "s2", ""}), m_document.GetServerRelativePaths());
    EXPECT_EQ((std::vector<int64_t>{12, 0, 0}), m_document.GetSizes());
    EXPECT_EQ((std::vector<bool>{false, true, false}), m_document.GetCompressedFlags());
    const UpdateFileEntry last = m_document.GetFileEntries().at(2);
    EXPECT_EQ("", last.serverRelativePath);
    EXPECT_EQ("", last.checkSum);
    EXPECT_EQ(0, last.size);
    EXPECT_FALSE(last.isCompressed);
}

TEST_F(DocumentTest, RootMatchedByANonElementReadsAsEmpty) {
    // The root lookup takes the first node named UpdateDocument; a comment
    // of that text wins, and then no attribute can be read.
    ASSERT_EQ(UpdateDocument::LoadStatus::Loaded,
              LoadText("<!--UpdateDocument--><UpdateDocument IsSucceed=\"false\" "
                       "FilesServer=\"x\"><UpdateFiles><UpdateFile CheckSum=\"A\"/>"
                       "</UpdateFiles></UpdateDocument>"));
    EXPECT_EQ("", m_document.GetFilesServer());
    EXPECT_TRUE(m_document.GetCheckSums().empty());
}

TEST_F(DocumentTest, AnEmptyDocumentObjectReadsAsEmpty) {
    EXPECT_EQ("", m_document.GetProductExePath());
    EXPECT_EQ("", m_document.GetProductExeFolder());
    EXPECT_EQ(0, m_document.CountElements("UpdateFile", "UpdateFiles"));
    EXPECT_TRUE(m_document.GetFileEntries().empty());
}

}  // namespace
