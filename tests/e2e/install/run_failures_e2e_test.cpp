// Runs that meet a fault: which of them end with a fatal report and which go
// on, and what each leaves recorded.
#include <gtest/gtest.h>

#include <functional>

#include "install_fixture.h"
#include "utils/unique_handle.h"

namespace {

using InstallE2E::InstallRunTest;
using InstallE2E::PlainFile;
using InstallE2E::ProductFile;

constexpr char kConnectFailed[] =
    "Failed to connect to the update server, if the problem persists, please download again.";
constexpr char kFileError[] = " File error \x96 please restart your computer and try again";

TEST_F(InstallRunTest, FaultsEndTheRunOrAreSkipped) {
    const ProductFile product = SampleProduct();
    const ProductFile notes = PlainFile("notes.txt", "notes");
    const ProductFile font = PlainFile("fonts\\Gone.ttf", "never served");
    const ProductFile blocked = PlainFile("data\\blocked.bin", "cannot replace a folder");
    const ProductFile held = PlainFile("data\\held.bin", "new content");
    const std::string heldOld = "old content";
    Utils::UniqueFileHandle heldOpen;
    const std::string localDocument = m_folder / "local update.xml";
    std::size_t before = 0;

    const struct {
        const char* name;
        std::function<void(TestSupport::UpdateDocumentBuilder&)> arrange;
        DWORD exitCode;
        std::string fatalText;  // "" when no box
        std::function<void()> check;
    } cases[] = {
        {"document unreachable",
         [&](TestSupport::UpdateDocumentBuilder&) {
             TestSupport::Fault unavailable;
             unavailable.status = 503;
             m_server.SetFault(DocumentTarget(), unavailable);
         },
         1, kConnectFailed,
         [&] {
             EXPECT_EQ(HitsSince(before, DocumentTarget()), 3);  // the fourth attempt gives up
             EXPECT_FALSE(TestSupport::FileExists(m_programFolder));
         }},
        {"font not on the server",
         [&](TestSupport::UpdateDocumentBuilder& document) {
             Publish(document, product);
             document.AddFile({"/missing/Gone.ttf", font.clientPath, font.CheckSum(), 12});
         },
         0, "",
         [&] {
             EXPECT_EQ(HitsSince(before, "/missing/Gone.ttf"), 3);
             EXPECT_EQ(InstalledRecord(font.clientPath), "");
             EXPECT_EQ(InstalledRecord(product.clientPath), product.CheckSum());
             EXPECT_EQ(WaitForProductStarts(1).size(), 1u);
         }},
        {"product not in the document",
         [&](TestSupport::UpdateDocumentBuilder& document) {
             document.Root("ProductExePath", "bin\\Missing.exe");
             Publish(document, notes);
         },
         0, "",
         [&] {
             EXPECT_EQ(TestSupport::ReadFile(DataPath(notes.clientPath)), notes.content);
             EXPECT_EQ(ProductValue("ExeName"), "Missing.exe");
             // Forgotten, so that the next run fetches everything again.
             Utils::UniqueRegKey installed;
             EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER,
                                       ("Software\\" + m_brand + "\\Installed").c_str(), 0,
                                       KEY_READ, installed.Receive()),
                       ERROR_SUCCESS);
         }},
        {"local document named in Mode",
         [&](TestSupport::UpdateDocumentBuilder& document) {
             Publish(document, product);
             TestSupport::UpdateDocumentBuilder local = NewDocument();
             Publish(local, product);
             Publish(local, notes);
             ASSERT_TRUE(local.WriteTo(localDocument));
             const std::string mode = "Software\\" + m_brand + "\\Mode";
             ::RegSetKeyValueA(HKEY_CURRENT_USER, mode.c_str(), "xmlplace", REG_SZ,
                               localDocument.c_str(), static_cast<DWORD>(localDocument.size() + 1));
         },
         0, "",
         [&] {
             EXPECT_EQ(HitsSince(before, DocumentTarget()), 1);  // fetched all the same
             EXPECT_EQ(TestSupport::ReadFile(DataPath(notes.clientPath)), notes.content);
             EXPECT_EQ(InstalledRecord(notes.clientPath), notes.CheckSum());
             // The fetched copy goes, the local one stays.
             EXPECT_FALSE(
                 TestSupport::FileExists(InstallE2E::TemporaryFolder() + "xml_downloaded_24.xml"));
             EXPECT_TRUE(TestSupport::FileExists(localDocument));
         }},
        {"client path outside the data folder",
         [&](TestSupport::UpdateDocumentBuilder& document) {
             Publish(document, PlainFile("..\\" + m_brand + ".escaped", "outside"));
         },
         1, "Wrong update file contents, please try again later.",
         [&] {
             EXPECT_EQ(RequestsSince(before), std::vector<std::string>{DocumentTarget()});
             EXPECT_FALSE(TestSupport::FileExists(m_programFolder + ".escaped"));
             // The fatal report ends the process: the refused document went before it.
             EXPECT_FALSE(
                 TestSupport::FileExists(InstallE2E::TemporaryFolder() + "xml_downloaded_24.xml"));
         }},
        // A folder in the way goes as the sweep would take it, so it blocks
        // the file only while it holds what the sweep keeps (a log).
        {"target is a folder",
         [&](TestSupport::UpdateDocumentBuilder& document) {
             ASSERT_TRUE(TestSupport::WriteFile(DataPath(blocked.clientPath + "\\own.log"), "x"));
             Publish(document, blocked);
         },
         1, blocked.clientPath + kFileError,
         [&] {
             EXPECT_EQ(InstalledRecord(blocked.clientPath), "");
             EXPECT_TRUE(TestSupport::FileExists(DataPath(blocked.clientPath + "\\own.log")));
         }},
        {"installed file held open",
         [&](TestSupport::UpdateDocumentBuilder& document) {
             ASSERT_TRUE(TestSupport::WriteFile(DataPath(held.clientPath), heldOld));
             const std::string records = "Software\\" + m_brand + "\\Installed";
             const std::string oldCheckSum = PlainFile(held.clientPath, heldOld).CheckSum();
             ::RegSetKeyValueA(HKEY_CURRENT_USER, records.c_str(), held.clientPath.c_str(), REG_SZ,
                               oldCheckSum.c_str(), static_cast<DWORD>(oldCheckSum.size() + 1));
             heldOpen.Reset(::CreateFileA(DataPath(held.clientPath).c_str(), GENERIC_READ, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
             ASSERT_TRUE(heldOpen);
             Publish(document, held);
         },
         1, held.clientPath + kFileError,
         [&] {
             heldOpen.Reset();
             EXPECT_EQ(InstalledRecord(held.clientPath),
                       PlainFile(held.clientPath, heldOld).CheckSum());
             EXPECT_EQ(TestSupport::ReadFile(DataPath(held.clientPath)), heldOld);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveInstallation();
        m_server.ClearFaults();
        TestSupport::UpdateDocumentBuilder document = NewDocument();
        c.arrange(document);
        ServeDocument(document);
        before = m_server.Requests().size();

        const InstallE2E::RunOutcome run = RunUpdater();
        EXPECT_EQ(run.exitCode, c.exitCode);
        if (c.fatalText.empty()) {
            EXPECT_TRUE(run.boxes.empty()) << run.boxes.front().text;
        } else {
            ASSERT_EQ(run.boxes.size(), 1u);
            EXPECT_EQ(run.boxes[0].caption, InstallE2E::kFatalCaption);
            EXPECT_EQ(run.boxes[0].text, c.fatalText);
        }
        c.check();
    }
}

}  // namespace
