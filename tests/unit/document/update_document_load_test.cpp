#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document_test_fixture.h"
#include "utils/run_reporter.h"
#include "utils/unique_handle.h"

namespace {

using Status = UpdateDocument::LoadStatus;

const char kUnreadableText[] = "Check your internet connection and try again.";
const char kWrongContentsText[] = "Wrong update file contents, please try again later.";

std::string Nested(const std::string& name, size_t levels) {
    std::string text;
    for (size_t i = 0; i < levels; ++i) text += "<" + name + ">";
    for (size_t i = 0; i < levels; ++i) text += "</" + name + ">";
    return text;
}

TEST_F(DocumentTest, MalformedInputIsUnreadable) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
    const std::string good = TestSupport::UpdateDocumentBuilder().Build();
    const std::string cases[] = {
        "",
        "   \r\n\t ",
        garbage,
        std::string("\0\0\0<UpdateDocument/>", 20),
        "just text",
        good.substr(0, good.size() / 2),
        Wrap("<UpdateFiles><UpdateFile CheckSum=\"A").substr(0, 80),
        "<UpdateDocument IsSucceed=\"true\"><UpdateFiles>",
        "<UpdateDocument IsSucceed=\"true\"",
        "<UpdateDocument IsSucceed=\"true\"></Other>",
        "<UpdateDocument IsSucceed='true' x=\"unterminated/>",
        // UTF-8 mode (declaration without encoding), text ending inside a character.
        "<?xml version=\"1.0\"?><UpdateDocument IsSucceed=\"\xE0",
        "<?xml version=\"1.0\"?><UpdateDocument IsSucceed=\"x\"><UpdateFiles>\xF0",
    };
    for (const std::string& text : cases) {
        EXPECT_EQ(Status::Unreadable, LoadText(text)) << text;
        EXPECT_EQ("", m_document.GetAttribute("IsSucceed", "", "", 0));
    }
}

TEST_F(DocumentTest, MissingFileIsUnreadable) {
    EXPECT_EQ(Status::Unreadable, m_document.Load(m_folder / "absent.xml"));
    EXPECT_EQ(Status::Unreadable, m_document.Load(m_folder.Path()));  // a folder
    EXPECT_EQ(Status::Unreadable, m_document.Load(""));
}

TEST_F(DocumentTest, SuccessMarkAndRootDecideTheContents) {
    const struct {
        std::string text;
        Status expected;
    } cases[] = {
        {Wrap("", "IsSucceed=\"true\""), Status::Loaded},
        {Wrap("", "IsSucceed=\"False\""), Status::Loaded},
        {Wrap("", "IsSucceed=\"FALSE\""), Status::Loaded},
        {Wrap("", "IsSucceed=\"0\""), Status::Loaded},
        {Wrap("", "IsSucceed=\"\""), Status::Loaded},
        {Wrap("", "IsSucceed=\" false\""), Status::Loaded},
        {Wrap("", "FilesServer=\"x\""), Status::Loaded},
        {Wrap("", "IsSucceed=\"false\""), Status::WrongContents},
        {Wrap("", "IsSucceed=\"false\" FilesServer=\"x\""), Status::WrongContents},
        {"<Other IsSucceed=\"true\"/>", Status::WrongContents},
        {"<updatedocument IsSucceed=\"true\"/>", Status::WrongContents},
        {"<Wrapper><UpdateDocument IsSucceed=\"true\"/></Wrapper>", Status::WrongContents},
        {"<Other/><UpdateDocument IsSucceed=\"true\"/>", Status::Loaded},
        {"<UpdateDocument\r\nIsSucceed=\"false\"\r/>\r\n", Status::WrongContents},
        {std::string("<UpdateDocument IsSucceed=\"false\"/>\0trailing", 45), Status::WrongContents},
        {std::string("<UpdateDocument/>\0<<<\xff\xfe", 22), Status::Loaded},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, LoadText(c.text)) << c.text;
    }
}

TEST_F(DocumentTest, PathsReachingOutsideTheProductAreWrongContents) {
    const char* const unsafe[] = {"\\x.dll",       "/x.dll",        "C:\\x.dll",   "C:x.dll",
                                  "\\\\srv\\s\\x", "\\\\?\\C:\\x",  "\\\\.\\COM1", "x.dll:ads",
                                  "..\\x.dll",     "a/../../x.dll", "a\\.."};
    const char* const rootAttributes[] = {"ProductExePath", "CompressFilePath", "CompressWAVPath",
                                          "UninstallIconPath", "UpdateResourceExePath"};
    for (const char* path : unsafe) {
        for (const char* attribute : rootAttributes) {
            TestSupport::UpdateDocumentBuilder builder;
            builder.Root(attribute, path).AddFile({"/s", "ok.dat", "K", 1, false});
            EXPECT_EQ(Status::WrongContents, LoadText(builder.Build())) << attribute << " " << path;
        }
        TestSupport::UpdateDocumentBuilder builder;
        builder.AddFile({"/s", "ok.dat", "K", 1, false}).AddFile({"/s", path, "K", 1, false});
        EXPECT_EQ(Status::WrongContents, LoadText(builder.Build())) << "client " << path;
        EXPECT_TRUE(m_document.GetClientRelativePaths().empty());
    }
    // Paths of other kinds of elements, and server paths, are not file system paths here.
    TestSupport::UpdateDocumentBuilder builder;
    builder.Root("SkinURL", "http://x/y").Root("FilesServer", "host:8080");
    builder.AddFile({"/abs/..\\server/path", "bin\\ok.dat", "K", 1, false});
    builder.AddFileMarkup("<Note ClientRelativePath=\"C:\\x\"/>");
    EXPECT_EQ(Status::Loaded, LoadText(builder.Build()));
}

TEST_F(DocumentTest, NestingIsRefusedBeforeItCanExhaustTheStack) {
    const size_t limit = UpdateDocument::kMaxNestingDepth;
    // The root and the group take two levels.
    EXPECT_EQ(Status::Loaded,
              LoadText(Wrap("<UpdateFiles>" + Nested("n", limit - 2) + "</UpdateFiles>")));
    EXPECT_EQ(Status::Unreadable,
              LoadText(Wrap("<UpdateFiles>" + Nested("n", limit - 1) + "</UpdateFiles>")));
    EXPECT_EQ(Status::Unreadable,
              LoadText(Wrap("<UpdateFiles>" + Nested("n", 10000) + "</UpdateFiles>")));
    EXPECT_EQ(Status::Unreadable, LoadText(Nested("UpdateDocument", 10000)));
    EXPECT_EQ(Status::Unreadable, LoadText(Wrap(Nested("n", 200000))));
}

// The deepest accepted document, loaded and destroyed on a thread that asks
// for 256 KB of stack (an eighth of the executables' default): the limit
// leaves a margin. A thread that overflows its stack never finishes.
TEST_F(DocumentTest, TheDeepestAcceptedDocumentFitsASmallStack) {
    struct Job {
        std::string path;
        Status status = Status::Unreadable;
        bool finished = false;
    } job{WriteDocument(Wrap("<UpdateFiles>" + Nested("n", UpdateDocument::kMaxNestingDepth - 2) +
                             "</UpdateFiles>"))};
    auto run = [](void* argument) -> DWORD {
        Job& job = *static_cast<Job*>(argument);
        UpdateDocument document;
        job.status = document.Load(job.path);
        job.finished = true;
        return 0;
    };
    Utils::UniqueKernelHandle thread(
        CreateThread(nullptr, 256 * 1024, run, &job, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.Get(), 60000));
    EXPECT_TRUE(job.finished);
    EXPECT_EQ(Status::Loaded, job.status);
}

TEST_F(DocumentTest, LargeDocumentsLoadWhole) {
    TestSupport::UpdateDocumentBuilder builder;
    const std::string checkSum(32, 'F');
    int files = 0;
    std::string text;
    for (; text.size() < 20 * 1024 * 1024; text = builder.Build()) {
        for (int i = 0; i < 20000; ++i, ++files) {
            const std::string name = "data\\folder" + std::to_string(files % 97) + "\\file" +
                                     std::to_string(files) + ".dat";
            builder.AddFile(
                {"/files/" + std::to_string(files), name, checkSum, files, files % 2 == 1});
        }
    }
    ASSERT_EQ(Status::Loaded, LoadText(text));
    const std::vector<int64_t> sizes = m_document.GetSizes();
    ASSERT_EQ(static_cast<size_t>(files), sizes.size());
    for (int i : {0, 1, files / 2, files - 1}) {
        EXPECT_EQ(i, sizes[i]);
        EXPECT_EQ("/files/" + std::to_string(i),
                  m_document.GetAttribute("ServerRelativePath", "UpdateFile", "UpdateFiles", i));
    }
}

// An answer without end, or a local document as long, is refused before it
// can fill the memory. Padded with NUL bytes, after which the text ends, a
// document of exactly the limit loads.
TEST_F(DocumentTest, AFileLongerThanTheLimitIsUnreadable) {
    for (const int64_t extra : {0, 1}) {
        const std::string path = WriteDocument(Wrap(""));
        Utils::UniqueFileHandle file(
            ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER end{};
        end.QuadPart = UpdateDocument::kMaxFileBytes + extra;
        ASSERT_TRUE(file && ::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) &&
                    ::SetEndOfFile(file.Get()));
        file.Reset();
        EXPECT_EQ(extra == 0 ? Status::Loaded : Status::Unreadable, m_document.Load(path));
    }
}

TEST_F(DocumentTest, LongAttributeValuesSurvive) {
    const std::string longValue(1024 * 1024, 'u');
    TestSupport::UpdateDocumentBuilder builder;
    builder.Root("SkinURL", longValue).AddFile({"/s", longValue, "K", 1, false});
    ASSERT_EQ(Status::Loaded, LoadText(builder.Build()));
    EXPECT_EQ(longValue, m_document.GetSkinUrl());
    EXPECT_EQ(longValue, m_document.GetClientRelativePaths().at(0));
}

TEST_F(DocumentTest, SingleByteTextLoadsWhenTheParserReadsBytes) {
    const std::string legacy = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>";
    const std::string root = "<UpdateDocument ProductExePath=\"bin\\caf\xE9\"/>";
    ASSERT_EQ(Status::Loaded, LoadText(legacy + root));
    EXPECT_EQ("caf\xE9", m_document.GetProductExeName());
    ASSERT_EQ(Status::Loaded, LoadText(root));
    EXPECT_EQ("bin\\caf\xE9", m_document.GetProductExePath());
    // Declared as UTF-8, the same bytes would swallow the closing quote.
    EXPECT_EQ(Status::Unreadable, LoadText("<?xml version=\"1.0\"?>" + root));
}

TEST_F(DocumentTest, Utf8ValuesArriveInTheSystemCodePage) {
    // "Données" in the system code page, whatever that page is.
    char expected[32] = {};
    ASSERT_GT(::WideCharToMultiByte(CP_ACP, 0, L"Donn\u00E9es", -1, expected, sizeof(expected),
                                    nullptr, nullptr),
              0);
    const std::string root =
        "<UpdateDocument ProductExePath=\"Donn\xC3\xA9"
        "es\\a.exe\"/>";
    for (const std::string& start :
         {std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>"),
          std::string("\xEF\xBB\xBF<?xml version=\"1.0\"?>"), std::string(),
          // A UTF-16 string sent as UTF-8 keeps the declaration it was written with.
          std::string("<?xml version=\"1.0\" encoding=\"utf-16\"?>")}) {
        ASSERT_EQ(Status::Loaded, LoadText(start + root)) << start;
        EXPECT_EQ(std::string(expected) + "\\a.exe", m_document.GetProductExePath()) << start;
    }
    // Declared single-byte: the same bytes are two characters of the code page, as written.
    ASSERT_EQ(Status::Loaded, LoadText("<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + root));
    EXPECT_EQ(
        "Donn\xC3\xA9"
        "es\\a.exe",
        m_document.GetProductExePath());
    // A character that the code page lacks leaves the value's bytes as they were.
    ASSERT_EQ(
        Status::Loaded,
        LoadText(
            "<?xml version=\"1.0\"?><UpdateDocument SkinURL=\"\xE2\x82\xAC\xF0\x9F\x98\x80\"/>"));
    EXPECT_EQ("\xE2\x82\xAC\xF0\x9F\x98\x80", m_document.GetSkinUrl());
}

TEST_F(DocumentTest, CharacterReferencesBeyondLatin1SurviveByteReading) {
    char expected[32] = {};
    ASSERT_GT(::WideCharToMultiByte(CP_ACP, 0, L"Acme\u2019s \u20AC5 caf\u00E9", -1, expected,
                                    sizeof(expected), nullptr, nullptr),
              0);
    const std::string root = "<UpdateDocument SkinURL=\"Acme&#8217;s &#x20AC;5 caf&#xE9;\"/>";
    for (const std::string& start :
         {std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), std::string(),
          std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>")}) {
        ASSERT_EQ(Status::Loaded, LoadText(start + root)) << start;
        EXPECT_EQ(expected, m_document.GetSkinUrl()) << start;
    }
}

TEST_F(DocumentTest, ARefusedLoadLeavesNothingToRead) {
    TestSupport::UpdateDocumentBuilder builder;
    builder.Root("FilesServer", "x").AddFile({"/s", "ok.dat", "K", 1, false});
    ASSERT_EQ(Status::Loaded, LoadText(builder.Build()));
    ASSERT_EQ(Status::WrongContents, LoadText(builder.Root("IsSucceed", "false").Build()));
    EXPECT_EQ("", m_document.GetFilesServer());
    EXPECT_TRUE(m_document.GetServerRelativePaths().empty());
}

// Records reports and returns, as a dialog that did not end the run would.
class ReturningDialog : public RunReporter {
public:
    void SetStatusText(const std::string&) override {}
    void SetProgressText(double) override {}
    void SetProgressPos(int, int) override {}
    void ShowProgressBar(int, int) override {}
    void SetSkinUrl(const std::string&) override {}
    bool IsFirstRun() override { return false; }
    void ReportError(const std::string& message, int severity) override {
        reports.push_back(message + "|" + std::to_string(severity));
    }
    void SetWindowTitle(const std::string&) override {}
    HWND GetDialogWindow() const override { return nullptr; }

    std::vector<std::string> reports;
};

class ReportingTest : public DocumentTest {
protected:
    void SetUp() override { g_mainDialog = &m_dialog; }
    void TearDown() override { g_mainDialog = nullptr; }
    ReturningDialog m_dialog;
};

TEST_F(ReportingTest, EachFailureIsReportedOnceAsFatal) {
    const struct {
        std::string text;
        bool loaded;
        std::string report;
    } cases[] = {
        {Wrap(""), true, ""},
        {"", false, std::string(kUnreadableText) + "|4"},
        {"<UpdateDocument", false, std::string(kUnreadableText) + "|4"},
        {"<Other/>", false, std::string(kWrongContentsText) + "|4"},
        {Wrap("", "IsSucceed=\"false\""), false, std::string(kWrongContentsText) + "|4"},
        {Wrap("", "ProductExePath=\"..\\x.exe\""), false, std::string(kWrongContentsText) + "|4"},
    };
    for (const auto& c : cases) {
        m_dialog.reports.clear();
        EXPECT_EQ(c.loaded, m_document.LoadAndValidate(WriteDocument(c.text))) << c.text;
        const std::vector<std::string> expected =
            c.report.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.report};
        EXPECT_EQ(expected, m_dialog.reports) << c.text;
    }
}

TEST_F(DocumentTest, FailureWithoutADialogStillReturnsFalse) {
    ASSERT_EQ(nullptr, g_mainDialog);
    EXPECT_FALSE(m_document.LoadAndValidate(m_folder / "absent.xml"));
}

}  // namespace
