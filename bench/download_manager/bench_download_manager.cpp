// Installs 300 files of 1 MB (a third of them compressed) and one large file
// from the in-process test server through DownloadManager with 15 workers,
// with the real main dialog showing the progress, and prints wall time, MB/s
// and the peak working set.
//
//   bench_download_manager [--files N] [--big-mb N] [--workers N] [--pack-every N] [--headless]
//                          [--url-list PATH --stop-file PATH]
// With --url-list the server stays up after the run, the payload URLs are
// written to PATH (one per line), and the program ends once the stop file
// exists (run.sh then fetches the same files with curl).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_dialog.h"
#include "bench_payload.h"
#include "support/test_http_server.h"
#include "support/update_document_builder.h"
#include "transfer/download_manager.h"
#include "utils/file/file_utils.h"
#include "utils/mt/threads.h"
#include "utils/reg/reg_manager.h"

namespace {

constexpr char kBrand[] = "NimbraBenchDM";

struct Options {
    Bench::PayloadPlan payload;
    int workers = 15;
    bool headless = false;
    std::string urlList, stopFile;
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--files" && more) o.payload.smallFiles = std::atoi(argv[++i]);
        else if (a == "--big-mb" && more) o.payload.bigBytes = std::atoll(argv[++i]) << 20;
        else if (a == "--workers" && more) o.workers = std::atoi(argv[++i]);
        else if (a == "--pack-every" && more) o.payload.packEvery = std::atoi(argv[++i]);
        else if (a == "--url-list" && more) o.urlList = argv[++i];
        else if (a == "--stop-file" && more) o.stopFile = argv[++i];
        else if (a == "--headless") o.headless = true;
    }
    return o;
}

struct Bed {
    Options options;
    TestSupport::TestHttpServer server;
    std::unique_ptr<DownloadManager> manager;
    std::vector<UpdateFileEntry> files;
    long long totalBytes = 0;
};

SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}

bool Prepare(Bed& bed, const std::string& root) {
    Utils::File::DeleteTree(root);
    std::string source = root + "\\src", data = root + "\\data";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(source.c_str(), nullptr);
    CreateDirectoryA(data.c_str(), nullptr);
    CreateDirectoryA((data + "\\tools").c_str(), nullptr);
    std::string compressor = Bench::WindowsPath(UNKELZ_EXE);
    if (!CopyFileA(compressor.c_str(), (data + "\\tools\\unkelz.exe").c_str(), FALSE)) return false;
    bed.files = Bench::WritePayload(bed.options.payload, source, compressor);
    if (bed.files.empty() || !bed.server.Start()) return false;
    bed.server.ServeFolder("/files", source);
    SetCurrentDirectoryA(data.c_str());

    TestSupport::UpdateDocumentBuilder builder;
    builder.Root("FilesServer", bed.server.Host()).Root("CompressFilePath", "tools\\unkelz.exe");
    for (const UpdateFileEntry& f : bed.files) {
        builder.AddFile({f.serverRelativePath, f.clientRelativePath, f.checkSum, f.size, f.isCompressed});
        bed.totalBytes += f.size;
    }
    std::string documentPath = root + "\\document.xml";
    if (!builder.WriteTo(documentPath)) return false;
    bed.manager = std::make_unique<DownloadManager>(BuildSettings{});
    if (bed.manager->GetDocument().Load(documentPath) != UpdateDocument::LoadStatus::Loaded) return false;
    bed.manager->TakeDocumentValues();
    bed.manager->SetDataFolder(data);
    for (const UpdateFileEntry& f : bed.files) bed.manager->AddFetchFile(f);
    bed.manager->SetTotalBytes(bed.totalBytes);
    return true;
}

int CountInstalled(const Bed& bed) {
    int count = 0;
    for (const UpdateFileEntry& f : bed.files)
        count += Utils::File::IsFile(f.clientRelativePath) &&
                 Utils::g_productKeyManager->GetStringValue(f.clientRelativePath, "Installed") == f.checkSum;
    return count;
}

void ServeForComparison(const Bed& bed) {
    if (bed.options.urlList.empty()) return;
    std::FILE* list = std::fopen(bed.options.urlList.c_str(), "w");
    if (!list) return;
    for (const UpdateFileEntry& f : bed.files) std::fprintf(list, "%s\n", bed.server.Url(f.serverRelativePath).c_str());
    std::fclose(list);
    std::printf("SERVING\n");
    std::fflush(stdout);
    while (!Utils::File::Exists(bed.options.stopFile)) Sleep(100);
}

int RunBench(void* argument) {
    Bed& bed = *static_cast<Bed*>(argument);
    if (g_mainDialog) g_mainDialog->ShowProgressBar(1007, 100);
    SIZE_T peakBefore = PeakWorkingSet();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    bed.manager->RunParallelDownloads(bed.options.workers);
    QueryPerformanceCounter(&end);
    double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    double megabytes = double(bed.totalBytes) / (1 << 20);
    std::printf("files %d installed %d, %.1f MB received, workers %d, dialog %s\n", int(bed.files.size()),
                CountInstalled(bed), megabytes, bed.options.workers, g_mainDialog ? "CMainDlg" : "none");
    std::printf("wall %.2f s, %.1f MB/s, peak working set %.1f MB (before the run %.1f MB)\n", seconds,
                megabytes / seconds, PeakWorkingSet() / 1048576.0, peakBefore / 1048576.0);
    std::fflush(stdout);
    ServeForComparison(bed);
    ExitProcess(0);
}

// The real dialog, with the benchmark in place of the installation worker.
class BenchDialog : public CMainDlg {
public:
    BenchDialog(BuildSettings settings, Bed& bed) : CMainDlg(std::move(settings)), m_bed(bed) {}

protected:
    void StartInstallation(const std::string&) override {
        CloseHandle(Utils::MT::StartThread(&RunBench, &m_bed));
    }
    void EndProcess(UINT exitCode) override { ExitProcess(exitCode); }

private:
    Bed& m_bed;
};

}  // namespace

int main(int argc, char** argv) {
    static Bed bed;
    bed.options = ParseOptions(argc, argv);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    Utils::g_productKeyManager = new Utils::RegManager(true, kBrand);
    if (!Prepare(bed, std::string(temp) + "nimbra_bench_dm")) {
        std::printf("could not prepare the payload or the server\n");
        return 1;
    }
    if (bed.options.headless) return RunBench(&bed);
    BuildSettings settings;
    settings.brand = kBrand;
    settings.serverHost = "localhost";
    BenchDialog dialog(settings, bed);
    dialog.DoModal(GetModuleHandleA(nullptr), nullptr);
    return 0;
}
