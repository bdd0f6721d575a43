// The session's decisions that need no run: labels, which process is the
// running product, the resource-update command and where document programs
// are looked for.
#include <gtest/gtest.h>

#include <map>

#include "engine/completion.h"
#include "engine/files/document_programs.h"
#include "engine/install_session.h"
#include "engine/installed_copy.h"
#include "engine/resource_update.h"
#include "engine/running_product.h"
#include "support/scratch.h"

namespace {

TEST(RunLabel, InstalledCopyChecksOthersInstall) {
    EXPECT_EQ(Engine::RunLabel("C:\\Program Files\\Acme\\", "Acme"),
              " Checking for software updates");
    EXPECT_EQ(Engine::RunLabel("C:\\Users\\me\\Downloads\\", "Acme"), "Installation data");
    EXPECT_EQ(Engine::RunLabel("C:\\Program Files\\acme\\", "Acme"),
              "Installation data");  // exact case
    EXPECT_EQ(Engine::RunLabel("C:\\Acme2\\", "Acme"), "Installation data");
}

TEST(IsToolFile, TheValueOrTheProgramItStarts) {
    const struct {
        const char* clientPath;
        const char* toolValue;
        bool tool;
    } cases[] = {
        {"tools\\unz.exe", "tools\\unz.exe", true},
        {"TOOLS\\Unz.exe", "tools\\unz.exe", true},
        {"tools\\unz.exe", "tools\\unz", true},  // the value without the ".exe" it starts
        {"tools\\unz", "tools\\unz", true},
        {"tools\\unz.com", "tools\\unz.com", true},
        {"tools\\unz.exe", "tools\\unz.com", false},
        {"tools\\unz", "tools\\unz.exe", false},  // the program started is another file
        {"tools\\unz.exe.txt", "tools\\unz", false},
        {"", "", false},
        {"a.txt", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::IsToolFile(c.clientPath, c.toolValue), c.tool)
            << c.clientPath << " / " << c.toolValue;
}

TEST(ChooseRunningProducts, EveryInstanceOfTheInstalledProductsImage) {
    const std::string product = "C:\\Program Files\\Acme\\bin\\app.exe";
    const std::map<DWORD, std::string> images = {
        {10, "C:\\Other\\app.exe"},                 // same file name elsewhere
        {11, ""},                                   // unreadable
        {12, "c:/program files/ACME/bin/APP.EXE"},  // the product, spelled differently
        {13, product},
        {14, product},  // the session's own process
    };
    auto imageOf = [&](DWORD id) {
        auto found = images.find(id);
        return found == images.end() ? std::string() : found->second;
    };
    const struct {
        std::vector<DWORD> candidates;
        std::string productPath;
        std::vector<DWORD> chosen;
    } cases[] = {
        {{10, 11, 12, 13}, product, {12, 13}},
        {{14, 13}, product, {13}},
        {{14}, product, {}},
        {{10, 11}, product, {}},
        {{10, 12}, "", {}},  // no product name: nothing counts
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::ChooseRunningProducts(c.candidates, 14, c.productPath, imageOf), c.chosen)
            << c.candidates.size() << " " << c.productPath;
}

TEST(ResourceUpdateCommand, QuotedPartsAndTheBufferLimit) {
    EXPECT_EQ(
        Engine::BuildResourceUpdateCommand("C:\\P F\\rc.exe", "C:\\P F\\app.exe", "D:\\up.exe"),
        "\"C:\\P F\\rc.exe\" \"C:\\P F\\app.exe\" \"D:\\up.exe\"");
    // Three pairs of quotes and two blanks: 8 characters around the paths.
    const std::string fits(291 - 2, 'p');
    EXPECT_EQ(Engine::BuildResourceUpdateCommand(fits, "a", "b").size(), 299u);
    EXPECT_EQ(Engine::BuildResourceUpdateCommand(fits + "p", "a", "b"), "");
    EXPECT_FALSE(Engine::RunResourceUpdate(""));
}

TEST(StartableProduct, NeedsANameAndAnExistingFile) {
    TestSupport::ScratchFolder folder;
    ASSERT_TRUE(TestSupport::WriteFile(folder / "app.exe", "MZ"));
    EXPECT_TRUE(Engine::IsStartableProduct("app.exe", folder / "app.exe"));
    EXPECT_FALSE(Engine::IsStartableProduct("", folder / "app.exe"));
    EXPECT_FALSE(Engine::IsStartableProduct("gone.exe", folder / "gone.exe"));
    EXPECT_FALSE(Engine::IsStartableProduct("app.exe", folder.Path()));  // a folder
}

TEST(UninstallCommand, ProgramIsQuoted) {
    EXPECT_EQ(Engine::UninstallCommand("C:\\Program Files\\Acme\\Acme.exe"),
              "\"C:\\Program Files\\Acme\\Acme.exe\" /uninstall");
}

TEST(DocumentPrograms, OnlyExistingFilesInTheDataFolder) {
    TestSupport::ScratchFolder data;
    ASSERT_TRUE(TestSupport::WriteFile(data / "tools\\unkelz.exe", "MZ"));
    ASSERT_TRUE(TestSupport::WriteFile(data / "tool.bin", "MZ"));
    const struct {
        std::string program, resolved;
    } cases[] = {
        {"tools\\unkelz", data / "tools\\unkelz.exe"},  // ".exe" added as the system would
        {"tools\\unkelz.exe", data / "tools\\unkelz.exe"},
        {"tool.bin", data / "tool.bin"},
        {"cmd", ""},  // never found through the system's search
        {"tools\\missing", ""},
        {"..\\unkelz", ""},
        {"C:\\Windows\\system32\\cmd", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::ResolveDocumentProgram(data.Path(), c.program), c.resolved) << c.program;
    EXPECT_EQ(Engine::ResolveDocumentProgram("", "tool.bin"), "");
}

}  // namespace
