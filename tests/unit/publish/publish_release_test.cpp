// Releases written in process: the document the updater reads, the served
// files, tokens across releases and the updater's own entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "content_token.h"
#include "publish_fixture.h"
#include "stamp_image.h"
#include "support/sample_wav.h"
#include "unit/engine/stamp_test_image.h"

namespace PublishTest {
namespace {

using TestSupport::ReadFile;

std::string Incompressible(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

class PublishRelease : public PublishFixture {
protected:
    void AddTypicalProduct() {
        AddProductFile("readme.txt", std::string(20000, 'r'));
        AddProductFile("data\\noise.bin", Incompressible(30000));
        AddProductFile("data\\tiny.txt", "abc");
        AddProductFile("sounds\\ding.wav", TestSupport::MakeWav(6000));
        AddProductFile("My Docs\\read me & more.txt", "spaced");
    }
};

TEST_F(PublishRelease, WritesDocumentsTheUpdaterLoadsWithEveryFileServedAtItsSize) {
    AddTypicalProduct();
    WriteSettings(
        "skin-url = https://skin.test.invalid/page?a=1&b=2\n"
        "registry = Settings\\Colors | Background | blue \"dark\" | true\n"
        "registry = | Greeting | Hello | false\n");
    const std::string out = scratch / "tree";
    const RunResult run = Release(out);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The fixture's bin\App.exe is no real program: published, with a warning.
    EXPECT_NE(run.err.find("bin\\App.exe (product-exe) carries no version resource"),
              std::string::npos)
        << run.err;

    UpdateDocument document;
    ASSERT_TRUE(LoadDocument(out, "stable", document));
    // The documents of the ids differ only in the id they name.
    std::string beta = ReadFile(out + "\\documents\\beta-1");
    beta.replace(beta.find(" DownloadId=\"beta-1\""), 20, " DownloadId=\"stable\"");
    EXPECT_EQ(ReadFile(out + "\\documents\\stable"), beta);
    EXPECT_EQ(document.GetProductExePath(), "bin\\App.exe");
    EXPECT_EQ(document.GetFilesServer(), "files.test.invalid");
    EXPECT_EQ(document.GetSkinUrl(), "https://skin.test.invalid/page?a=1&b=2");
    EXPECT_EQ(document.GetCompressFilePath(), "unkelz.exe");
    EXPECT_EQ(document.GetCompressWavPath(), "unkelw.exe");
    EXPECT_EQ(document.GetAttributeList("Value", "Registry", "UpdateRegistry"),
              (UpdateDocument::StringList{"blue \"dark\"", "Hello"}));
    EXPECT_EQ(document.GetAttributeList("Path", "Registry", "UpdateRegistry"),
              (UpdateDocument::StringList{"Settings\\Colors", ""}));
    EXPECT_EQ(document.GetAttributeList("IsOverride", "Registry", "UpdateRegistry"),
              (UpdateDocument::StringList{"true", "false"}));

    const auto entries = EntriesOf(document);
    EXPECT_EQ(entries.size(), 8u);  // two decompressors and six product files
    for (const auto& listed : entries) {
        const UpdateFileEntry& entry = listed.second;
        const std::string served = ServedPath(out, entry.serverRelativePath);
        EXPECT_EQ(static_cast<int64_t>(ReadFile(served).size()), entry.size) << served;
        // Packed bytes carry their own hash, which updaters check before unpacking.
        EXPECT_EQ(entry.servedSha256,
                  entry.isCompressed ? Publish::HexOfDigest(Publish::HashFile(served)) : "")
            << served;
        EXPECT_EQ(entry.checkSum.size(), 32u);
        EXPECT_EQ(entry.checkSum.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    }
    EXPECT_EQ(entries.at("unkelz.exe").serverRelativePath, "/files/unkelz.exe");
    EXPECT_FALSE(entries.at("unkelz.exe").isCompressed);
    EXPECT_EQ(entries.at("My Docs\\read me & more.txt").serverRelativePath,
              "/files/My%20Docs/read%20me%20%26%20more.txt");
}

TEST_F(PublishRelease, PacksWhatPaysAndEveryPackedFileUnpacksToTheProductFile) {
    AddTypicalProduct();
    const std::string out = scratch / "tree";
    ASSERT_EQ(Release(out).exitCode, 0);
    UpdateDocument document;
    ASSERT_TRUE(LoadDocument(out, "stable", document));
    const auto entries = EntriesOf(document);

    const UpdateFileEntry& text = entries.at("readme.txt");
    EXPECT_TRUE(text.isCompressed);
    EXPECT_EQ(text.serverRelativePath, "/files/readme.txt.Kelz");
    EXPECT_EQ(UnpackKelz(ServedPath(out, text.serverRelativePath), scratch / "readme.out"),
              ReadFile(product + "\\readme.txt"));

    const UpdateFileEntry& sound = entries.at("sounds\\ding.wav");
    EXPECT_TRUE(sound.isCompressed);
    EXPECT_EQ(sound.serverRelativePath, "/files/sounds/ding.wav.Kelw");
    EXPECT_EQ(UnpackKelw(ServedPath(out, sound.serverRelativePath), scratch / "ding.out"),
              ReadFile(product + "\\sounds\\ding.wav"));

    // Random bytes do not shrink and three bytes cannot save a KiB: both as they are.
    for (const char* plain : {"data\\noise.bin", "data\\tiny.txt"}) {
        const UpdateFileEntry& entry = entries.at(plain);
        EXPECT_FALSE(entry.isCompressed) << plain;
        EXPECT_EQ(ReadFile(ServedPath(out, entry.serverRelativePath)),
                  ReadFile(product + "\\" + plain));
    }
}

TEST_F(PublishRelease, TokensFollowContentAcrossReleases) {
    AddTypicalProduct();
    const std::string first = scratch / "first", second = scratch / "second";
    ASSERT_EQ(Release(first).exitCode, 0);
    AddProductFile("readme.txt", std::string(20000, 'R'));  // changed content, same size
    ASSERT_EQ(Release(second).exitCode, 0);
    UpdateDocument before, after;
    ASSERT_TRUE(LoadDocument(first, "stable", before));
    ASSERT_TRUE(LoadDocument(second, "stable", after));
    const auto old = EntriesOf(before), now = EntriesOf(after);

    EXPECT_NE(old.at("readme.txt").checkSum, now.at("readme.txt").checkSum);
    for (const char* same : {"bin\\App.exe", "data\\noise.bin", "sounds\\ding.wav", "unkelz.exe"})
        EXPECT_EQ(old.at(same).checkSum, now.at(same).checkSum) << same;
    // The token is the SHA-256 of the installed content, not of the packed form.
    EXPECT_EQ(now.at("data\\tiny.txt").checkSum, "BA7816BF8F01CFEA414140DE5DAE2223");
}

// Over a tree it replaces, the tool reads the old release's files and warns
// of a kept file that becomes a folder.
TEST_F(PublishRelease, WarnsOfAFileThatUpdatersKeepWhereAFolderComes) {
    AddProductFile("logs.xml", "settings");
    const std::string out = scratch / "tree";
    ASSERT_EQ(Release(out).exitCode, 0);
    ASSERT_TRUE(std::filesystem::remove(product + "\\logs.xml"));
    AddProductFile("logs.xml\\a.txt", "a folder now");
    const RunResult run = Release(out, {"--replace"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("publish: warning: logs.xml was a file in the release being replaced "
                           "and is a folder now; updaters never delete logs.xml"),
              std::string::npos)
        << run.err;
}

TEST_F(PublishRelease, ListsTheSha256OfEveryFileAsInstalledNotAsServed) {
    AddTypicalProduct();
    const std::string out = scratch / "tree";
    ASSERT_EQ(Release(out).exitCode, 0);
    UpdateDocument document;
    ASSERT_TRUE(LoadDocument(out, "stable", document));
    const auto clients =
        document.GetAttributeList("ClientRelativePath", "UpdateFile", "UpdateFiles");
    const auto hashes = document.GetAttributeList("Sha256", "UpdateFile", "UpdateFiles");
    ASSERT_EQ(hashes.size(), 8u);
    for (std::size_t i = 0; i < clients.size(); ++i) {
        const bool tool = clients[i] == "unkelz.exe" || clients[i] == "unkelw.exe";
        const std::string installed = (tool ? tools : product) + "\\" + clients[i];
        EXPECT_EQ(hashes[i], Publish::HexOfDigest(Publish::HashFile(installed))) << clients[i];
    }
    // SHA-256("abc"), in lower-case hex.
    const auto tiny = std::find(clients.begin(), clients.end(), "data\\tiny.txt") - clients.begin();
    EXPECT_EQ(hashes.at(tiny), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

class PublishUpdater : public PublishRelease {
protected:
    // A file with a settings block whose checksum slot holds checksum (and
    // whose host slot holds host, when given).
    std::string WriteUpdater(const std::string& checksum, const std::string& host = "") {
        std::string image = StampTest::Image();
        const std::size_t block = Stamp::FindBlock(image);
        Stamp::WriteSlotText(image, block, 5, checksum);
        if (!host.empty()) Stamp::WriteSlotText(image, block, Stamp::kServerHostSlot, host);
        const std::string path = scratch / "Nimbra.exe";
        EXPECT_TRUE(TestSupport::WriteFile(path, image));
        return path;
    }
};

TEST_F(PublishUpdater, ListsTheCarriedChecksumAndServesOneCopyPerDownloadId) {
    const std::string updater = WriteUpdater("0123456789ABCDEF0123456789abcdef");
    const std::string out = scratch / "tree";
    const RunResult run = Release(out, {"--updater", updater});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    UpdateDocument document;
    ASSERT_TRUE(LoadDocument(out, "beta-1", document));
    const UpdateFileEntry entry = EntriesOf(document).at("fernwick.exe");
    EXPECT_EQ(entry.checkSum, "0123456789ABCDEF0123456789abcdef");
    EXPECT_EQ(entry.serverRelativePath, "/files/updater/");

    // The updater asks for ServerRelativePath + its own download id; the
    // document for that id lists the hash of that copy.
    const std::string original = ReadFile(updater);
    std::set<std::string> hashes;
    for (const char* id : {"stable", "beta-1"}) {
        const std::string copy = ReadFile(ServedPath(out, entry.serverRelativePath + id));
        UpdateDocument forId;
        ASSERT_TRUE(LoadDocument(out, id, forId));
        ASSERT_EQ(forId.GetAttribute("ClientRelativePath", "UpdateFile", "UpdateFiles", 0),
                  "fernwick.exe");
        const std::string listed = forId.GetAttribute("Sha256", "UpdateFile", "UpdateFiles", 0);
        EXPECT_EQ(listed, Publish::HexOfDigest(Publish::HashBytes(copy))) << id;
        hashes.insert(listed);
        ASSERT_EQ(copy.size(), original.size()) << id;
        EXPECT_EQ(static_cast<int64_t>(copy.size()), entry.size);
        const std::size_t block = Stamp::FindBlock(copy);
        EXPECT_EQ(Stamp::ReadSlotText(copy, block, 1), id);
        for (int slot = 2; slot <= 5; ++slot)
            EXPECT_EQ(Stamp::ReadSlotText(copy, block, slot),
                      Stamp::ReadSlotText(original, block, slot));
    }
    EXPECT_EQ(hashes.size(), 2u);

    // The summary counts every served byte, the copies included.
    std::uintmax_t served = 0;
    for (const auto& file : std::filesystem::recursive_directory_iterator(out + "\\files"))
        if (file.is_regular_file()) served += file.file_size();
    EXPECT_NE(run.out.find(" " + std::to_string(served) + " bytes served)"), std::string::npos)
        << run.out;
}

// Installed updaters fetch a listed updater only when its checksum differs
// from theirs, so one restamped (with a new key, say) under the old checksum
// never reaches them.
TEST_F(PublishUpdater, WarnsOfAChangedUpdaterUnderTheChecksumAlreadyServed) {
    const std::string checksum = "0123456789ABCDEF0123456789ABCDEF";
    const std::string out = scratch / "tree";
    ASSERT_EQ(Release(out, {"--updater", WriteUpdater(checksum)}).exitCode, 0);
    RunResult run = Release(out, {"--replace", "--updater", WriteUpdater(checksum)});
    EXPECT_EQ(run.err.find("same checksum"), std::string::npos) << run.err;

    run = Release(out, {"--replace", "--updater", WriteUpdater(checksum, "moved.example.com")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("warning: the listed updater differs from the one that the replaced "
                           "tree serves but carries the same checksum " +
                           checksum),
              std::string::npos)
        << run.err;

    const std::string next = "1123456789ABCDEF0123456789ABCDEF";
    run = Release(out, {"--replace", "--updater", WriteUpdater(next, "moved.example.com")});
    EXPECT_EQ(run.err.find("same checksum"), std::string::npos) << run.err;
}

TEST_F(PublishUpdater, RefusesAnUnstampedUpdaterOrAProductFolderInItsWay) {
    const std::string unstamped = WriteUpdater("value5");
    RunResult run = Release(scratch / "tree", {"--updater", unstamped});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("checksum slot holds 'value5'"), std::string::npos) << run.err;

    // The updater as built asks the reserved host that never resolves.
    run = Release(scratch / "tree", {"--updater", WriteUpdater("5E0C7A91D2B84F36A1C9E07D3B6F2A48",
                                                               "updates.nimbra.invalid")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("host is updates.nimbra.invalid, which never resolves"),
              std::string::npos)
        << run.err;

    const std::string updater = WriteUpdater("0123456789ABCDEF0123456789ABCDEF");
    AddProductFile("Updater\\stable", "in the way");
    run = Release(scratch / "tree", {"--updater", updater});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Updater\\stable"), std::string::npos) << run.err;
    EXPECT_FALSE(TestSupport::FileExists(scratch / "tree"));
}

}  // namespace
}  // namespace PublishTest
