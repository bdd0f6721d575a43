// The pure rules of a release: which names may be listed, how a served path
// is spelled, when packing pays, and the checksum token.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "client_path_rules.h"
#include "content_token.h"
#include "layout_changes.h"
#include "payload_packer.h"
#include "progress_meter.h"
#include "release_checks.h"
#include "release_document.h"
#include "sha256.h"
#include "support/scratch.h"
#include "support/updater_process.h"
#include "version_resource.h"
#include "windows_links.h"

namespace {

using Publish::ClientPathProblem;

TEST(PublishRules, ListsOrdinaryNames) {
    for (const char* name : {"a.txt", "bin\\App.exe", "My Docs\\read me.txt", "a&b'(1)~.txt",
                             "nul2", "x.kelz", "fernwick.exe.txt", "dir\\.hidden"})
        EXPECT_EQ(ClientPathProblem(name), "") << name;
}

TEST(PublishRules, RefusesNamesTheUpdaterOrWindowsWouldNotTakeAsTheyAre) {
    const struct {
        const char* name;
        const char* problem;  // start of the reason
    } cases[] = {
        {"", "is empty"},
        {"\\rooted.txt", "would make the updater refuse"},
        {"C:\\x.txt", "would make the updater refuse"},
        {"a:stream", "would make the updater refuse"},
        {"..\\up.txt", "would make the updater refuse"},
        {"a\\..\\b.txt", "would make the updater refuse"},
        {"sub\\CON", "would make the updater refuse"},
        {"sub\\nul.txt", "would make the updater refuse"},
        {"COM1.log", "would make the updater refuse"},
        {"a\\\\b.txt", "has an empty folder name"},
        {"dir\\", "has an empty folder name"},
        {"what?.txt", "has the character ?"},
        {"a|b", "has the character |"},
        {"tab\there", "has a character outside printable ASCII"},
        {"caf\xe9.txt", "has a character outside printable ASCII"},
        {"trailing.", "has a name ending in a dot or blank"},
        {"blank \\x.txt", "has a name ending in a dot or blank"},
        {"song.wav.Kelw", "ends in .Kelz or .Kelw"},
        {"data.Kelz", "ends in .Kelz or .Kelw"},
        {"FERNWICK.EXE", "is fernwick.exe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClientPathProblem(c.name).rfind(c.problem, 0), 0u)
            << c.name << ": " << ClientPathProblem(c.name);
}

TEST(PublishRules, WarnsOfClientPathsThatOnlyShortBrandsCanInstall) {
    // C:\Program Files\<brand>\<path>.part.Kelz within 259 characters.
    EXPECT_EQ(Publish::LongestBrandFor(std::string(199, 'a')), 32);
    EXPECT_EQ(Publish::LongestBrandFor(std::string(230, 'a')), 1);
    EXPECT_EQ(Publish::LongestBrandFor(std::string(231, 'a')), 0);

    const std::string fits = "d\\" + std::string(197, 'f');
    const std::string tight = "d\\" + std::string(210, 't');
    const std::string never = "d\\" + std::string(240, 'n');
    std::ostringstream warnings;
    Publish::WarnOfLongClientPaths({{fits, ""}, {tight, ""}, {never, ""}}, warnings);
    const std::string text = warnings.str();
    EXPECT_EQ(text.find(fits), std::string::npos) << text;
    EXPECT_NE(text.find(tight + " is 212 characters long; updaters install it under "
                                "C:\\Program Files\\<brand> only for a brand of at most 19"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(never + " is 242 characters long; no updater can install it"),
              std::string::npos)
        << text;
}

TEST(PublishRules, WarnsOfTheFilesThatExplorerLeavesInFolders) {
    std::ostringstream warnings;
    Publish::WarnOfExplorerFiles(
        {{"Thumbs.db", ""}, {"bin\\desktop.ini", ""}, {"docs\\my thumbs.db", ""}, {"App.ini", ""}},
        warnings);
    const std::string text = warnings.str();
    EXPECT_NE(text.find("warning: Thumbs.db is Explorer's thumbnail cache"), std::string::npos)
        << text;
    EXPECT_NE(text.find("warning: bin\\desktop.ini is Explorer's folder settings file"),
              std::string::npos)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
}

TEST(PublishRules, ProgressCountsFilesDoneNotFilesPacked) {
    std::ostringstream lines;
    Publish::ProgressMeter meter(lines, 3, std::chrono::seconds(0));
    meter.FileDone(3 * 1024 * 1024);
    EXPECT_EQ(lines.str(), "publish: 1 of 3 product files done (3 MiB read)\n");
}

TEST(PublishRules, FindsEntriesThatChangeKindBetweenReleases) {
    const std::vector<std::string> previous = {
        "data",        "logs.xml",   "docs\\a.txt", "cfg\\sub\\run.log", "cfg\\sub\\x.ini",
        "keep\\k.txt", "Lib\\l.txt", "same.txt"};
    const std::vector<std::string> current = {"Data\\x.txt", "logs.xml\\a.txt", "docs",
                                              "cfg\\sub",    "keep\\k.txt",     "lib\\l.txt",
                                              "same.txt"};
    const struct {
        const char* path;
        bool becameFolder;
        const char* keptOldFile;
    } expected[] = {
        {"cfg\\sub", false, "cfg\\sub\\run.log"},  // the old release keeps a log there
        {"Data", true, ""},                        // spelt as the new release spells it
        {"docs", false, ""},
        {"logs.xml", true, "logs.xml"},
    };
    const std::vector<Publish::LayoutChange> changes =
        Publish::FindLayoutChanges(previous, current);
    ASSERT_EQ(changes.size(), std::size(expected));
    for (std::size_t i = 0; i < changes.size(); ++i) {
        EXPECT_EQ(changes[i].path, expected[i].path);
        EXPECT_EQ(changes[i].becameFolder, expected[i].becameFolder) << expected[i].path;
        EXPECT_EQ(changes[i].keptOldFile, expected[i].keptOldFile) << expected[i].path;
    }

    std::ostringstream warnings;
    Publish::WarnOfLayoutChanges(previous, {{"Data\\x.txt", ""}, {"docs", ""}}, warnings);
    // Updaters remove the old file "data" themselves; the folder "docs" they
    // remove only when the product wrote no log into it.
    EXPECT_EQ(warnings.str(),
              "publish: warning: docs was a folder in the release being replaced and is a file "
              "now; updaters remove the folder only while it holds no file with .log or .xml in "
              "its name, which they never delete: if the product writes one there, they end "
              "every run at docs with their File error\n");
}

TEST(PublishRules, TakesReparsePointsThatStandForAnotherNameAsLinks) {
    const struct {
        std::uint32_t attributes, tag;
        bool link;
    } cases[] = {
        {0x10, 0, false},            // a plain folder
        {0x410, 0xA0000003, true},   // a junction
        {0x400, 0xA000000C, true},   // a symbolic link
        {0x400, 0x9000601A, false},  // a cloud file placeholder
        {0x400, 0x80000013, false},  // a deduplicated file
        {0x410, 0x00000001, true},   // a tag that is not Microsoft's
    };
    for (const auto& c : cases)
        EXPECT_EQ(Publish::IsLinkReparsePoint(c.attributes, c.tag), c.link) << std::hex << c.tag;
}

TEST(PublishRules, ServedPathsEscapeWhatAUrlCannotCarry) {
    EXPECT_EQ(Publish::ServerPathOf("bin\\App.exe"), "/files/bin/App.exe");
    EXPECT_EQ(Publish::ServerPathOf("My Docs\\100%+#1.txt"), "/files/My%20Docs/100%25%2B%231.txt");
    EXPECT_EQ(Publish::ServerPathOf("a-b_c.d~e"), "/files/a-b_c.d~e");
    // ... and a static server decodes them back to the file's name.
    EXPECT_EQ(Publish::DecodedServerPath("/files/My%20Docs/100%25%2b%231.txt?v=2"),
              "/files/My Docs/100%+#1.txt");
    EXPECT_EQ(Publish::DecodedServerPath("/files/a%2"), std::nullopt);
    EXPECT_EQ(Publish::DecodedServerPath("/files/a%zz"), std::nullopt);
}

TEST(PublishRules, PackingPaysOnlyForAKibAndFivePercent) {
    EXPECT_TRUE(Publish::IsWorthPacking(100000, 95000));  // exactly 5%
    EXPECT_FALSE(Publish::IsWorthPacking(100000, 95001));
    EXPECT_TRUE(Publish::IsWorthPacking(2048, 1024));  // exactly 1 KiB
    EXPECT_FALSE(Publish::IsWorthPacking(2047, 1024));
    EXPECT_FALSE(Publish::IsWorthPacking(5000, 5000));
    EXPECT_FALSE(Publish::IsWorthPacking(5000, 6000));
}

TEST(PublishRules, TokensAreTheFirstHalfOfTheSha256InUpperCaseHex) {
    Publish::Sha256 empty;
    EXPECT_EQ(Publish::TokenOfDigest(empty.Finish()), "E3B0C44298FC1C149AFBF4C8996FB924");
    // Fed in pieces, across the one-block boundary of 64 bytes.
    const std::string text(1000, 'a');
    Publish::Sha256 pieces;
    pieces.Update(text.data(), 63);
    pieces.Update(text.data() + 63, text.size() - 63);
    EXPECT_EQ(Publish::TokenOfDigest(pieces.Finish()), "41EDECE42D63E8D9BF515A9BA6932E1C");
    EXPECT_TRUE(Publish::IsTokenText("0123456789abcdefABCDEF0123456789"));
    EXPECT_FALSE(Publish::IsTokenText("0123456789abcdefABCDEF012345678"));
    EXPECT_FALSE(Publish::IsTokenText("0123456789abcdefABCDEF012345678G"));
}

TEST(PublishRules, FindsTheVersionResourceOfARealProgramOnly) {
    const std::string build = TestSupport::GetBuildFolder();
    const std::string versioned = TestSupport::ReadFile(build + "\\demo\\NimbraDemoApp.exe");
    ASSERT_FALSE(versioned.empty());
    EXPECT_TRUE(Publish::HasVersionResource(versioned));
    EXPECT_FALSE(Publish::HasVersionResource(versioned.substr(0, 1024)));  // cut short
    EXPECT_FALSE(Publish::HasVersionResource(
        TestSupport::ReadFile(build + "\\tools\\unkelz\\unkelz.exe")));  // none linked in
    EXPECT_FALSE(Publish::HasVersionResource("MZ" + std::string(3000, 'a')));
}

}  // namespace
