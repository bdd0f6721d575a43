// Whole runs against the release server that publishers deploy: a real nginx
// with deploy/nginx's configuration, serving a release tree from disk, in
// place of the in-process test server.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install_fixture.h"
#include "nginx_release_server.h"
#include "release_tree.h"
#include "support/window_driver.h"

namespace {

using InstallE2E::kDownloadId;
using InstallE2E::ProductFile;
using InstallE2E::RunOutcome;

constexpr DWORD kAccessLogTimeoutMs = 3000;

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

class NginxInstallRunTest : public InstallE2E::InstallRunTest {
protected:
    void SetUp() override {
        InstallRunTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(m_nginx.Start())
            << "nginx did not start (scripts/install-packages.sh installs it)";
        ASSERT_TRUE(StampUpdater(m_nginx.Host()));
    }

    // Writes the files and their document into the tree as the release of
    // the test's download id; the decompressor is tools\unkelz.exe.
    void Release(const std::vector<ProductFile>& files) {
        const InstallE2E::ReleaseTree tree(m_nginx.TreePath());
        TestSupport::UpdateDocumentBuilder document = NewDocument();
        document.Root("FilesServer", m_nginx.Host()).Root("CompressFilePath", "tools\\unkelz.exe");
        for (const ProductFile& file : files) ASSERT_TRUE(tree.Publish(document, file));
        ASSERT_TRUE(tree.WriteDocument(kDownloadId, document));
    }

    // The requests nginx served after the first `since` ones, as
    // "<status> <target>", once it has logged `count` of them.
    std::vector<std::string> Served(std::size_t since, std::size_t count) const {
        TestSupport::WaitUntil([&] { return m_nginx.Requests().size() >= since + count; },
                               kAccessLogTimeoutMs);
        std::vector<std::string> served;
        const std::vector<InstallE2E::LoggedRequest> requests = m_nginx.Requests();
        for (std::size_t i = since; i < requests.size(); ++i)
            served.push_back(std::to_string(requests[i].status) + " " + requests[i].target);
        return Sorted(served);
    }

    static std::vector<std::string> Answered(const std::vector<std::string>& targets) {
        std::vector<std::string> served;
        for (const std::string& target : targets) served.push_back("200 " + target);
        return Sorted(served);
    }

    InstallE2E::NginxReleaseServer m_nginx;
};

TEST_F(NginxInstallRunTest, InstallsFromTheReleaseTreeAndAnUpdateFetchesOnlyTheChangedFile) {
    std::vector<ProductFile> files = {
        SampleProduct(),
        BuiltFile("tools\\unkelz.exe", UNKELZ_EXE),
        InstallE2E::PackedFile("data\\readme.txt", std::string(4000, 'r') + " release 1",
                               m_folder.Path()),
        InstallE2E::PlainFile("notes.txt", "notes of release 1"),
    };
    Release(files);

    const RunOutcome install = RunUpdater();
    EXPECT_EQ(install.exitCode, 0u);
    EXPECT_TRUE(install.boxes.empty()) << install.boxes.front().text;
    ExpectInstalled(files);
    std::vector<std::string> everything = {DocumentTarget()};
    for (const ProductFile& file : files) everything.push_back(file.ServerPath());
    EXPECT_EQ(Served(0, everything.size()), Answered(everything));
    EXPECT_TRUE(m_server.Requests().empty()) << "a request went to the in-process server";
    WaitForProductStarts(1);

    files[2] = InstallE2E::PackedFile("data\\readme.txt", std::string(4000, 'r') + " release 2",
                                      m_folder.Path());
    Release(files);
    const std::size_t before = m_nginx.Requests().size();
    const RunOutcome update = RunUpdater(InstalledCopy());
    EXPECT_EQ(update.exitCode, 0u);
    EXPECT_TRUE(update.boxes.empty()) << update.boxes.front().text;
    ExpectInstalled(files);
    EXPECT_EQ(Served(before, 2), Answered({DocumentTarget(), files[2].ServerPath()}));
}

}  // namespace
