#include "install_bed.h"

#include <windows.h>

#include <cstdio>

#include "support/scratch.h"
#include "support/test_signing.h"
#include "support/update_document_builder.h"
#include "support/updater_process.h"
#include "utils/file/file_utils.h"

namespace InstallBench {
namespace {

constexpr char kServicePath[] = "/svc/GetUpdateXML?did=";
constexpr char kDownloadId[] = "bench";
constexpr char kToolClientPath[] = "tools\\unkelz.exe";
constexpr char kProductFileName[] = "NimbraBenchProduct.exe";
constexpr char kProductClientPath[] = "bin\\NimbraBenchProduct.exe";
constexpr DWORD kProductExitTimeoutMs = 10000;

std::string WindowsPath(const char* linuxPath) { return TestSupport::ToWindowsPath(linuxPath); }

}  // namespace

InstallBed::InstallBed(const std::string& brand, const std::string& root, bool withOutput)
    : m_brand(brand),
      m_root(root),
      m_updater(root + "\\setup\\" + brand + "Setup.exe"),
      m_withOutput(withOutput),
      m_product(brand) {}

InstallBed::~InstallBed() {
    m_server.Stop();
    Utils::File::DeleteTree(m_root);
}

bool InstallBed::Start() {
    Utils::File::DeleteTree(m_root);
    if (!CreateFolders(m_root + "\\setup") || !m_server.Start()) return false;
    // The decompressor is served from a copy on the prefix's own drive, as
    // the run keeps its copy there too.
    if (!::CopyFileA(WindowsPath(UNKELZ_EXE).c_str(), DecompressorPath().c_str(), FALSE))
        return false;
    TestSupport::UpdaterStamp stamp;
    stamp.brand = m_brand;
    stamp.host = m_server.Host();
    stamp.servicePath = kServicePath;
    stamp.downloadId = kDownloadId;
    return TestSupport::MakeStampedUpdater(m_updater, stamp);
}

bool InstallBed::Load(const PayloadPlan& plan) {
    const std::string source = m_root + "\\payload_source";
    Utils::File::DeleteTree(source);
    m_plan = plan;
    m_files = {ExistingFile(DecompressorPath(), kToolClientPath, -1),
               ExistingFile(WindowsPath(PRODUCT_EXE), kProductClientPath, -2)};
    std::vector<PayloadFile> payload = WritePayload(plan, source, DecompressorPath());
    if (payload.empty() && plan.files + (plan.bigBytes > 0) > 0) return false;
    m_files.insert(m_files.end(), payload.begin(), payload.end());

    TestSupport::UpdateDocumentBuilder document;
    document.Root("ProductExePath", kProductClientPath)
        .Root("FilesServer", m_server.Host())
        .Root("CompressFilePath", kToolClientPath);
    for (const PayloadFile& file : m_files) {
        // The hash of a compressed file would need its unpacked form: not listed.
        const bool hashed = plan.sha256 && !file.compressed;
        document.AddFile(
            {file.urlPath, file.clientPath, file.checkSum, file.servedBytes, file.compressed},
            hashed ? TestSupport::Sha256Hex(TestSupport::ReadFile(file.servedFile)) : "");
        ServeFile(file);
    }
    ServeDocument(document.Build());
    return true;
}

void InstallBed::NoteRequest(bool document) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const double now = m_runClock.Seconds();
    if (document) {
        if (m_requests.document < 0) m_requests.document = now;
        return;
    }
    if (m_requests.firstFile < 0) m_requests.firstFile = now;
    m_requests.lastFile = now;
    ++m_requests.fileRequests;
}

void InstallBed::ServeDocument(std::string text) {
    auto body = std::make_shared<const std::string>(std::move(text));
    m_server.Handle(std::string(kServicePath) + kDownloadId,
                    [this, body](const TestSupport::HttpRequest&) {
                        NoteRequest(true);
                        TestSupport::HttpResponse response;
                        response.headers.emplace_back("Content-Type", "text/xml");
                        response.body = body;
                        return response;
                    });
}

void InstallBed::ServeFile(const PayloadFile& file) {
    const std::string served = file.servedFile;
    m_server.Handle(file.urlPath, [this, served](const TestSupport::HttpRequest&) {
        NoteRequest(false);
        TestSupport::HttpResponse response;
        response.headers.emplace_back("Content-Type", "application/octet-stream");
        response.bodyFile = served;
        return response;
    });
}

BedRun InstallBed::Run(bool watchDialog) {
    RunRequest request;
    request.exePath = m_updater;
    request.folder = m_root + "\\setup";
    request.watchDialog = watchDialog;
    request.withOutput = m_withOutput;
    BedRun run;
    FILETIME start{};
    ::GetSystemTimeAsFileTime(&start);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests = RequestTimes();
        m_runClock.Restart();  // the child starts right after: one time scale for both
    }
    run.process = RunChild(request);
    run.marks = m_product.ReadMilestones(start);
    // The product the run started must not overlap the next measurement.
    if (!WaitForProgramToEnd(kProductFileName, kProductExitTimeoutMs))
        std::printf("  the product started by the run is still running\n");
    std::lock_guard<std::mutex> lock(m_mutex);
    run.requests = m_requests;
    return run;
}

}  // namespace InstallBench
