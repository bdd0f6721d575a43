#pragma once
// The bed for whole runs: the in-process server with the update document and
// the payload, a copy of the updater stamped for the benchmark's brand and
// that server, and the product state the runs leave.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "payload.h"
#include "product_state.h"
#include "stopwatch.h"
#include "support/test_http_server.h"
#include "updater_run.h"

namespace InstallBench {

// When the server saw a run's requests, in seconds since the run's start.
struct RequestTimes {
    double document = -1;
    double firstFile = -1;
    double lastFile = -1;  // arrival of the last file request
    int fileRequests = 0;
};

struct BedRun {
    RunResult process;
    RequestTimes requests;
    Milestones marks;
};

class InstallBed {
public:
    // root: a scratch folder for the payload and the stamped updater;
    // withOutput: the runs get standard handles (see RunRequest).
    InstallBed(const std::string& brand, const std::string& root, bool withOutput);
    // Removes the scratch folder (the payload can be hundreds of MB).
    ~InstallBed();
    InstallBed(const InstallBed&) = delete;
    InstallBed& operator=(const InstallBed&) = delete;

    // Starts the server and stamps the updater; false on failure.
    bool Start();
    // Writes the payload of plan with the product and the decompressor as
    // further listed files, and serves it with its document.
    bool Load(const PayloadPlan& plan);

    // Runs the stamped updater to its end.
    BedRun Run(bool watchDialog);

    // Every listed file (the decompressor, the product, the payload).
    const std::vector<PayloadFile>& Files() const { return m_files; }
    const PayloadPlan& Plan() const { return m_plan; }
    const ProductState& Product() const { return m_product; }
    std::string Url(const PayloadFile& file) const { return m_server.Url(file.urlPath); }
    const std::string& Root() const { return m_root; }
    std::string DecompressorPath() const { return m_root + "\\unkelz.exe"; }

private:
    void ServeDocument(std::string text);
    void ServeFile(const PayloadFile& file);
    void NoteRequest(bool document);

    std::string m_brand, m_root, m_updater;
    bool m_withOutput;
    ProductState m_product;
    TestSupport::TestHttpServer m_server;
    PayloadPlan m_plan;
    std::vector<PayloadFile> m_files;

    std::mutex m_mutex;  // guards the two below
    Stopwatch m_runClock;
    RequestTimes m_requests;
};

}  // namespace InstallBench
