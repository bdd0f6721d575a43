// Measures FileDownloader's throughput: serves a file from the in-process test
// server, fetches it with a listener that writes to disk, and prints MB/s.
//
//   bench_download [--mb N] [--runs N]            fetch and report
//   bench_download --serve --stop-file PATH [--mb N]
//       serve only, print the URL, and stop once PATH exists (see run.sh,
//       which fetches the same file with curl for comparison)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/test_http_server.h"
#include "transfer/file_downloader.h"
#include "utils/unique_handle.h"

namespace {

struct Options {
    long long megabytes = 100;
    int runs = 3;
    bool serveOnly = false;
    std::string stopFile;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        bool hasValue = i + 1 < argc;
        if (argument == "--mb" && hasValue)
            options.megabytes = std::atoll(argv[++i]);
        else if (argument == "--runs" && hasValue)
            options.runs = std::atoi(argv[++i]);
        else if (argument == "--stop-file" && hasValue)
            options.stopFile = argv[++i];
        else if (argument == "--serve")
            options.serveOnly = true;
    }
    return options;
}

// Writes the body to a file through a large stdio buffer, as a real receiver would.
class FileWritingListener : public Utils::HTTP::AbstractFileDownloaderListener {
public:
    explicit FileWritingListener(const std::string& path) : m_file(std::fopen(path.c_str(), "wb")) {
        if (m_file) std::setvbuf(m_file.Get(), nullptr, _IOFBF, 1 << 20);
    }
    bool OnData(const std::string& chunk) override {
        received += static_cast<long long>(chunk.size());
        return m_file && std::fwrite(chunk.data(), 1, chunk.size(), m_file.Get()) == chunk.size();
    }
    void OnComplete() override { complete = m_file && std::fclose(m_file.Release()) == 0; }
    void OnCancelled() override { m_file.Reset(); }
    void OnError(int) override { m_file.Reset(); }

    long long received = 0;
    bool complete = false;

private:
    Utils::UniqueStdioFile m_file;
};

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

bool FetchOnce(const TestSupport::TestHttpServer& server, const std::string& target,
               long long size) {
    FileWritingListener listener(target);
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    Utils::HTTP::FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
    if (!downloader.SendRequest("/bench.bin", "", "", false)) return false;
    downloader.Download(true);
    ::QueryPerformanceCounter(&end);
    double seconds = Seconds(start, end);
    std::printf("FileDownloader: %lld bytes in %.3f s = %.1f MB/s%s\n", listener.received, seconds,
                static_cast<double>(listener.received) / 1e6 / seconds,
                listener.complete && listener.received == size ? "" : " (INCOMPLETE)");
    return listener.complete && listener.received == size;
}

void ServeUntilStopFile(const TestSupport::TestHttpServer& server, const std::string& stopFile) {
    std::printf("URL %s\n", server.Url("/bench.bin").c_str());
    std::fflush(stdout);
    for (int waited = 0; waited < 600 * 10; ++waited) {
        if (::GetFileAttributesA(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES) return;
        ::Sleep(100);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options = ParseOptions(argc, argv);
    const long long size = options.megabytes * 1000 * 1000;
    TestSupport::TestHttpServer server;
    std::string body(static_cast<size_t>(size), '\0');
    for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 31 + (i >> 12));
    server.Serve("/bench.bin", std::move(body));
    if (!server.Start()) {
        std::printf("could not start the server\n");
        return 1;
    }
    if (options.serveOnly) {
        ServeUntilStopFile(server, options.stopFile);
        return 0;
    }
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string target = std::string(temp) + "bench_download.bin";
    bool ok = true;
    for (int run = 0; run < options.runs; ++run) ok = FetchOnce(server, target, size) && ok;
    ::DeleteFileA(target.c_str());
    return ok ? 0 : 1;
}
