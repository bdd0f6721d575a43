// Multipart uploads: the form's exact bytes and its boundaries.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>

#include "recording_listener.h"
#include "support/scratch.h"
#include "support/test_http_server.h"
#include "transfer/multipart_form.h"

using TestSupport::HttpRequest;
using TestSupport::HttpResponse;
using TestSupport::TestHttpServer;
using Utils::HTTP::FileDownloader;
using namespace TransferTest;

namespace {

const char kTypePrefix[] = "multipart/form-data; boundary=";

std::string BoundaryOf(const HttpRequest& request) {
    std::string type = request.Header("Content-Type");
    if (type.compare(0, sizeof(kTypePrefix) - 1, kTypePrefix) != 0) return std::string();
    return type.substr(sizeof(kTypePrefix) - 1);
}

bool LooksLikeABoundary(const std::string& boundary) {
    if (boundary.size() != 39 || boundary.compare(0, 27, std::string(27, '-')) != 0) return false;
    for (size_t i = 27; i < boundary.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(boundary[i])) || std::islower(boundary[i]))
            return false;
    }
    return true;
}

TEST(MultipartForm, BuildsTheFormByteForByte) {
    using namespace std::string_literals;
    const std::string expected =
        "--B\r\n"
        "Content-Disposition: form-data; name=\"MyFile\"; filename=\"report.txt\"\r\n"
        "Content-Type: application/octet-stream\r\n"
        "\r\n"
        "line 1\r\nline 2\0end\r\n"
        "--B--\r\n"s;
    const std::string content = "line 1\r\nline 2\0end"s;
    EXPECT_EQ(expected, Utils::HTTP::BuildMultipartBody("B", "report.txt", content));
}

TEST(MultipartForm, BoundariesHaveTheirShapeAndNeverOccurInTheContent) {
    Utils::HTTP::MakeMultipartBoundary();  // seeds this thread's generator
    std::srand(1234);
    std::string first = Utils::HTTP::MakeMultipartBoundary();
    EXPECT_TRUE(LooksLikeABoundary(first)) << first;
    std::srand(1234);  // the same first pick, which the content now contains
    std::string content = "data " + first + " more data";
    std::string chosen = Utils::HTTP::MakeBoundaryFor(content);
    EXPECT_TRUE(LooksLikeABoundary(chosen)) << chosen;
    EXPECT_EQ(std::string::npos, content.find(chosen));
}

class FileDownloaderPost : public ::testing::Test {
protected:
    void SetUp() override {
        server.Handle("/upload", [](const HttpRequest& r) {
            return HttpResponse::Text(200, "got " + std::to_string(r.body.size()));
        });
        ASSERT_TRUE(server.Start());
    }
    bool Post(const std::string& file, const std::string& name) {
        FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
        bool sent = downloader.SendRequest("/upload", file, name, false);
        if (sent) downloader.Download(true);
        return sent;
    }
    TestHttpServer server;
    TestSupport::ScratchFolder folder;
    RecordingListener listener;
};

TEST_F(FileDownloaderPost, UploadsTheFileAsAnExactMultipartFormWithFreshBoundaries) {
    std::string content = std::string("binary\0\r\n--not a boundary\xff", 28) + PatternBytes(5000);
    ASSERT_TRUE(TestSupport::WriteFile(folder / "in.bin", content));
    ASSERT_TRUE(Post(folder / "in.bin", "shown.bin"));
    ASSERT_TRUE(Post(folder / "in.bin", ""));

    auto requests = server.Requests();
    ASSERT_EQ(2u, requests.size());
    const std::string announced[] = {"shown.bin", folder / "in.bin"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ("POST", requests[i].method);
        std::string boundary = BoundaryOf(requests[i]);
        EXPECT_TRUE(LooksLikeABoundary(boundary)) << boundary;
        EXPECT_TRUE(requests[i].body ==
                    Utils::HTTP::BuildMultipartBody(boundary, announced[i], content));
    }
    EXPECT_NE(BoundaryOf(requests[0]), BoundaryOf(requests[1]));
    EXPECT_EQ(Ending::Complete, listener.ending);
}

TEST_F(FileDownloaderPost, AnEmptyFileIsUploadedAsAnEmptyPart) {
    ASSERT_TRUE(TestSupport::WriteFile(folder / "empty.txt", ""));
    ASSERT_TRUE(Post(folder / "empty.txt", "empty.txt"));
    auto requests = server.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(Utils::HTTP::BuildMultipartBody(BoundaryOf(requests[0]), "empty.txt", ""),
              requests[0].body);
}

TEST_F(FileDownloaderPost, AMissingUploadFileFailsInsteadOfPostingNothing) {
    EXPECT_FALSE(Post(folder / "missing.bin", "missing.bin"));
    EXPECT_EQ(0, server.Hits("/upload"));
}

}  // namespace
