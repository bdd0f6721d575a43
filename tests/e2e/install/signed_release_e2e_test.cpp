// Signed releases through whole runs: the same signed document installs with
// an updater that carries no key and with one that does; the keyed updater
// refuses tampered, foreign, unsigned and replayed documents, and every run
// refuses files that do not match their Sha256, leaving the installation as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>

#include "install_fixture.h"
#include "support/test_signing.h"
#include "utils/unique_handle.h"

namespace {

using InstallE2E::InstallRunTest;
using InstallE2E::PlainFile;
using InstallE2E::ProductFile;
using TestSupport::Sha256Hex;

constexpr char kWrongContents[] = "Wrong update file contents, please try again later.";
constexpr char kConnectFailed[] =
    "Failed to connect to the update server, if the problem persists, please download again.";
constexpr char kNotSynced[] = " Updater is not synced \x96 please download from the website again.";

// Every value below a registry key, as "subkey\name=data" lines.
void CollectValues(HKEY root, const std::string& path, std::map<std::string, std::string>& out) {
    Utils::UniqueRegKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return;
    for (DWORD i = 0;; ++i) {
        char name[512];
        BYTE data[4096];
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        if (::RegEnumValueA(key.Get(), i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        out[path + "\\" + name] = std::string(reinterpret_cast<char*>(data), dataSize);
    }
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameSize = sizeof(name);
        if (::RegEnumKeyExA(key.Get(), i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        CollectValues(root, path + "\\" + name, out);
    }
}

// What an installation consists of: the files below the data folder (without
// the sample product's start log) and the product key's values.
struct Installation {
    std::map<std::string, std::string> files, values;
};

// The files that differ between two snapshots, each with the first differing
// offset: a readable failure instead of two dumps of whole executables.
std::vector<std::string> ChangedFiles(const Installation& before, const Installation& after) {
    std::vector<std::string> changed;
    for (const auto& file : after.files) {
        const auto old = before.files.find(file.first);
        if (old == before.files.end()) {
            changed.push_back(file.first + " (new)");
        } else if (old->second != file.second) {
            const auto first = std::mismatch(old->second.begin(), old->second.end(),
                                             file.second.begin(), file.second.end());
            changed.push_back(file.first + " (from byte " +
                              std::to_string(first.first - old->second.begin()) + ")");
        }
    }
    for (const auto& file : before.files)
        if (after.files.count(file.first) == 0) changed.push_back(file.first + " (gone)");
    return changed;
}

class SignedReleaseTest : public InstallRunTest {
protected:
    void SetUp() override {
        InstallRunTest::SetUp();
        ASSERT_TRUE(m_key.IsValid());
        ASSERT_TRUE(m_key.WritePem(m_pem));
        ASSERT_TRUE(TestSupport::MakeStampedUpdater(m_keyed, KeyedStamp()));
    }
    TestSupport::UpdaterStamp KeyedStamp() const {
        TestSupport::UpdaterStamp stamp;
        stamp.brand = m_brand;
        stamp.host = m_server.Host();
        stamp.servicePath = InstallE2E::kServicePath;
        stamp.downloadId = InstallE2E::kDownloadId;
        stamp.checksum = InstallE2E::kUpdaterCheckSum;
        stamp.publicKeyPem = m_pem;
        return stamp;
    }

    // The files of release 5: the product, the decompressor, a packed and a plain file.
    std::vector<ProductFile> ReleaseFiles() {
        return {SampleProduct(), BuiltFile("tools\\unkelz.exe", UNKELZ_EXE),
                InstallE2E::PackedFile("data\\readme.txt", std::string(4000, 'r'), m_folder.Path()),
                PlainFile("notes.txt", "notes of release 5")};
    }
    // A document listing the files with the Sha256 of what they install.
    TestSupport::UpdateDocumentBuilder Release(const std::string& number,
                                               const std::vector<ProductFile>& files) {
        TestSupport::UpdateDocumentBuilder document = NewDocument();
        document.Root("ReleaseNumber", number)
            .Root("DownloadId", InstallE2E::kDownloadId)
            .Root("CompressFilePath", "tools\\unkelz.exe");
        for (const ProductFile& file : files) PublishHashed(document, file, file.content);
        return document;
    }
    void PublishHashed(TestSupport::UpdateDocumentBuilder& document, const ProductFile& file,
                       const std::string& hashedContent) {
        m_server.Serve(file.ServerPath(), file.Served());
        document.AddFile({file.ServerPath(), file.clientPath, file.CheckSum(),
                          static_cast<int64_t>(file.Served().size()), file.compressed},
                         Sha256Hex(hashedContent));
    }
    void ServeText(const std::string& text) {
        m_server.Serve(DocumentTarget(), text, 200, "text/xml");
    }
    // The side file of a transfer still in flight when another file's fatal
    // report ends the run stays behind until a complete run sweeps it; it is
    // never part of the installation.
    Installation Current() const {
        static const std::regex sideFile(R"(.*\.part[0-9]*(\.Kelz|\.Kelw)?$)");
        Installation now;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_programFolder)) {
            const std::string path = entry.path().string();
            if (entry.is_regular_file() && path.find(".run.log") == std::string::npos &&
                !std::regex_match(path, sideFile))
                now.files[path] = TestSupport::ReadFile(path);
        }
        CollectValues(HKEY_CURRENT_USER, "Software\\" + m_brand, now.values);
        return now;
    }

    TestSupport::SigningKey m_key;
    std::string m_pem = m_folder / "release.pem";
    std::string m_keyed = m_folder / "Keyed.exe";
};

TEST_F(SignedReleaseTest, SignedReleaseInstallsWithAndWithoutAKey) {
    const std::vector<ProductFile> files = ReleaseFiles();
    ServeText(m_key.SignDocument(Release("5", files).Build()));

    for (const std::string& updater : {std::string(), m_keyed, m_keyed}) {
        SCOPED_TRACE(updater.empty() ? "without a key" : "with the key");
        const InstallE2E::RunOutcome run = RunUpdater(updater);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_TRUE(run.boxes.empty()) << run.boxes.front().text;
        ExpectInstalled(files);
        // Only an updater with a key keeps count of releases; equal numbers pass.
        EXPECT_EQ(ProductValue(InstallE2E::kDownloadId, "Releases"), updater.empty() ? "" : "5");
        if (updater.empty()) {
            WaitForProductStarts(1);
            RemoveInstallation();
        }
    }
}

TEST_F(SignedReleaseTest, RefusedDocumentsAndFilesLeaveTheInstallationAsItWas) {
    const std::vector<ProductFile> files = ReleaseFiles();
    ServeText(m_key.SignDocument(Release("5", files).Build()));
    ASSERT_EQ(RunUpdater(m_keyed).exitCode, 0u);
    ASSERT_EQ(WaitForProductStarts(1).size(), 1u);

    // Release 6 changes the notes: any accepted document of it would change them.
    std::vector<ProductFile> changed = files;
    changed[3].content = "notes of release 6";
    const std::string release6 = Release("6", changed).Build();
    TestSupport::SigningKey otherKey;
    const std::string localDocument = m_folder / "local.xml";
    const std::string modeKey = "Software\\" + m_brand + "\\Mode";
    const std::string newerUpdater = InstallE2E::TemporaryFolder() + "Install" + m_brand + ".exe";

    const struct {
        const char* name;
        std::function<void()> arrange;
        DWORD exitCode;
        std::string box;
        bool documentOnly;  // refused before any file request and any registry write
        // Server paths fetched three times, then given up. The first file to
        // fail its fourth attempt ends the run, so of several failing files
        // only one is sure to have been fetched three times.
        std::vector<std::string> retried;
    } cases[] = {
        {"one byte changed",
         [&] {
             std::string text = m_key.SignDocument(release6);
             text[text.find("ReleaseNumber=\"6\"") + 15] = '9';
             ServeText(text);
         },
         1,
         kWrongContents,
         true,
         {}},
        {"signed with another key",
         [&] { ServeText(otherKey.SignDocument(release6)); },
         1,
         kWrongContents,
         true,
         {}},
        {"signature missing", [&] { ServeText(release6); }, 1, kWrongContents, true, {}},
        {"another download id's document",
         [&] {
             ServeText(m_key.SignDocument(Release("7", changed).Root("DownloadId", "beta").Build()));
         },
         1,
         kWrongContents,
         true,
         {}},
        {"document naming no download id",
         [&] { ServeText(m_key.SignDocument(Release("7", changed).RemoveRoot("DownloadId").Build())); },
         1,
         kWrongContents,
         true,
         {}},
        {"older release replayed",
         [&] { ServeText(m_key.SignDocument(Release("4", changed).Build())); },
         1,
         kWrongContents,
         true,
         {}},
        {"unsigned local document",
         [&] {
             ServeText(m_key.SignDocument(release6));
             ASSERT_TRUE(TestSupport::WriteFile(localDocument, release6));
             ::RegSetKeyValueA(HKEY_CURRENT_USER, modeKey.c_str(), "xmlplace", REG_SZ,
                               localDocument.c_str(), static_cast<DWORD>(localDocument.size() + 1));
         },
         1,
         kWrongContents,
         true,
         {}},
        {"plain and packed files that do not match",
         [&] {
             TestSupport::UpdateDocumentBuilder document = Release("6", {files[0], files[1]});
             PublishHashed(document, changed[3], "other notes");
             ProductFile packed =
                 InstallE2E::PackedFile(files[2].clientPath, "other readme", m_folder.Path());
             PublishHashed(document, packed, files[2].content);
             ServeText(m_key.SignDocument(document.Build()));
         },
         1,
         kConnectFailed,
         false,
         {changed[3].ServerPath(), files[2].ServerPath()}},
        {"decompressor that does not match",
         [&] {
             TestSupport::UpdateDocumentBuilder document =
                 Release("6", {files[0], files[2], files[3]});
             ProductFile tool = BuiltFile(files[1].clientPath, UNKELW_EXE);
             PublishHashed(document, tool, files[1].content);
             ServeText(m_key.SignDocument(document.Build()));
         },
         1,
         kConnectFailed,
         false,
         {files[1].ServerPath()}},
        {"new updater that does not match",
         [&] {
             TestSupport::UpdateDocumentBuilder document = Release("6", files);
             const std::string image = TestSupport::ReadFile(m_keyed);
             m_server.Serve(std::string("/updates/fernwick.exe") + InstallE2E::kDownloadId, image);
             document.AddFile({"/updates/fernwick.exe", "fernwick.exe",
                               "FEDCBA9876543210FEDCBA9876543210", 1000},
                              Sha256Hex(image + "x"));
             ServeText(m_key.SignDocument(document.Build()));
         },
         0,
         kNotSynced,
         false,
         {}},
        // An updater with a key never hands over to one that checks no signature.
        {"new updater without a key",
         [&] {
             TestSupport::UpdateDocumentBuilder document = Release("6", files);
             const std::string image = TestSupport::ReadFile(m_exe);
             m_server.Serve(std::string("/updates/fernwick.exe") + InstallE2E::kDownloadId, image);
             document.AddFile({"/updates/fernwick.exe", "fernwick.exe",
                               "FEDCBA9876543210FEDCBA9876543210", 1000},
                              Sha256Hex(image));
             ServeText(m_key.SignDocument(document.Build()));
         },
         0,
         kNotSynced,
         false,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        const Installation before = Current();
        const std::size_t requests = m_server.Requests().size();

        const InstallE2E::RunOutcome run = RunUpdater(m_keyed);
        EXPECT_EQ(run.exitCode, c.exitCode);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].text, c.box);
        const Installation after = Current();
        EXPECT_EQ(ChangedFiles(before, after), std::vector<std::string>{});
        if (c.documentOnly) {
            EXPECT_EQ(RequestsSince(requests), std::vector<std::string>{DocumentTarget()});
            EXPECT_EQ(after.values, before.values);
        }
        for (const ProductFile& file : files)
            EXPECT_EQ(InstalledRecord(file.clientPath), file.CheckSum()) << file.clientPath;
        int mostHits = 0;
        for (const std::string& path : c.retried) {
            EXPECT_LE(HitsSince(requests, path), 3) << path;
            mostHits = std::max(mostHits, HitsSince(requests, path));
        }
        if (!c.retried.empty()) {
            EXPECT_EQ(mostHits, 3);
        }
        EXPECT_FALSE(TestSupport::FileExists(newerUpdater));
        ::RegDeleteKeyA(HKEY_CURRENT_USER, modeKey.c_str());
    }
    EXPECT_EQ(ProductValue(InstallE2E::kDownloadId, "Releases"), "6");
}

// The floor stamped into the updater refuses older releases where the product
// key records none: a new machine, or one where an uninstall removed the record.
TEST_F(SignedReleaseTest, AStampedFloorRefusesOlderReleasesOnAFreshInstall) {
    TestSupport::UpdaterStamp stamp = KeyedStamp();
    stamp.releaseFloor = "6";
    const std::string floored = m_folder / "Floored.exe";
    ASSERT_TRUE(TestSupport::MakeStampedUpdater(floored, stamp));
    const std::vector<ProductFile> files = ReleaseFiles();
    ServeText(m_key.SignDocument(Release("5", files).Build()));

    InstallE2E::RunOutcome run = RunUpdater(floored);
    EXPECT_EQ(run.exitCode, 1u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, kWrongContents);
    EXPECT_FALSE(TestSupport::FileExists(DataPath(files[3].clientPath)));

    ServeText(m_key.SignDocument(Release("6", files).Build()));
    run = RunUpdater(floored);
    EXPECT_EQ(run.exitCode, 0u);
    ExpectInstalled(files);
    EXPECT_EQ(ProductValue(InstallE2E::kDownloadId, "Releases"), "6");
}

// A keyed updater hands over to a newer one that carries a key (here the same
// key, as between two builds of one publisher), which takes the same signed
// document and installs itself.
TEST_F(SignedReleaseTest, AKeyedUpdaterHandsOverToANewerKeyedOne) {
    TestSupport::UpdaterStamp stamp = KeyedStamp();
    stamp.checksum = "FEDCBA9876543210FEDCBA9876543210";
    const std::string newer = m_folder / "NewerKeyed.exe";
    ASSERT_TRUE(TestSupport::MakeStampedUpdater(newer, stamp));
    const std::string image = TestSupport::ReadFile(newer);
    TestSupport::UpdateDocumentBuilder document = Release("5", ReleaseFiles());
    m_server.Serve(std::string("/updates/fernwick.exe") + InstallE2E::kDownloadId, image);
    document.AddFile({"/updates/fernwick.exe", "fernwick.exe", stamp.checksum, 1000},
                     Sha256Hex(image));
    ServeText(m_key.SignDocument(document.Build()));

    const InstallE2E::RunOutcome handOver = RunUpdater(m_keyed);
    EXPECT_EQ(handOver.exitCode, 0u);
    EXPECT_TRUE(handOver.boxes.empty()) << handOver.boxes.front().text;
    const std::string temporaryName = "Install" + m_brand + ".exe";
    const DWORD newerId = TestSupport::FindProcessByName(temporaryName);
    ASSERT_NE(newerId, 0u) << "the newer updater is not running";
    Utils::UniqueKernelHandle process(::OpenProcess(
        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, newerId));
    ASSERT_TRUE(process);
    const InstallE2E::RunOutcome restarted = InstallE2E::WatchRun(process.Get(), newerId, 60000);
    EXPECT_EQ(restarted.exitCode, 0u);
    EXPECT_TRUE(restarted.boxes.empty());
    EXPECT_EQ(TestSupport::ReadFile(InstalledCopy()), image);
}

}  // namespace
