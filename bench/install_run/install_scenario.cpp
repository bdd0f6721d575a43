// First installs, each followed by a no-op run of the same document: their
// difference is the install's own work, Wine's start-up and the dialog's
// fixed pauses cancelling out.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "scenario_support.h"
#include "scenarios.h"
#include "spread.h"
#include "utils/file/file_utils.h"

namespace InstallBench {
namespace {

struct InstallPair {
    BedRun install, again;
    int installed = 0;
    bool ok = false;
};

InstallPair RunPair(InstallBed& bed) {
    InstallPair pair;
    bed.Product().Remove();
    pair.install = bed.Run(false);
    pair.installed = bed.Product().CountInstalled(bed.Files());
    pair.again = bed.Run(false);
    pair.ok = Succeeded(pair.install) && Succeeded(pair.again) &&
              pair.installed == int(bed.Files().size()) && pair.again.requests.fileRequests == 0;
    return pair;
}

void PrintPair(const InstallPair& pair, int rep, int repeat, int listed) {
    const BedRun& a = pair.install;
    const BedRun& b = pair.again;
    std::printf(
        "install %d/%d: first %.2f s (document at %.2f s, file requests %.2f..%.2f s, last record "
        "%.2f s, %d requests, peak %.1f MB) | no-op %.2f s (document at %.2f s, %d file requests) "
        "| difference %.2f s | installed %d/%d, exit %lu/%lu%s\n",
        rep, repeat, a.process.wallSeconds, a.requests.document, a.requests.firstFile,
        a.requests.lastFile, a.marks.installedRecords, a.requests.fileRequests,
        a.process.peakWhileRunningMb, b.process.wallSeconds, b.requests.document,
        b.requests.fileRequests, a.process.wallSeconds - b.process.wallSeconds, pair.installed,
        listed, a.process.exitCode, b.process.exitCode, pair.ok ? "" : " FAILED");
    std::fflush(stdout);
}

// Keeps the server up for curl (run.sh) until the stop file exists.
void ServeForComparison(const InstallBed& bed, const Options& options) {
    if (options.urlList.empty()) return;
    std::FILE* list = std::fopen(options.urlList.c_str(), "w");
    if (!list) return;
    for (const PayloadFile& file : bed.Files()) std::fprintf(list, "%s\n", bed.Url(file).c_str());
    std::fclose(list);
    std::printf("SERVING\n");
    std::fflush(stdout);
    while (!Utils::File::Exists(options.stopFile)) ::Sleep(100);
}

}  // namespace

int RunInstallScenario(const Options& options) {
    InstallBed bed(kBrand, ScratchRoot(), options.withOutput);
    PayloadPlan plan;
    plan.files = options.files;
    plan.fileBytes = options.fileBytes;
    plan.bigBytes = options.bigMb << 20;
    plan.packEvery = options.packEvery;
    plan.sha256 = options.sha256;
    if (!bed.Start() || !bed.Load(plan)) {
        std::printf("could not prepare the server, the stamped updater or the payload\n");
        return 1;
    }
    PrintPayload(bed);
    std::vector<double> first, noop, difference;
    for (int rep = 1; rep <= options.repeat; ++rep) {
        const InstallPair pair = RunPair(bed);
        PrintPair(pair, rep, options.repeat, int(bed.Files().size()));
        if (!pair.ok) continue;
        first.push_back(pair.install.process.wallSeconds);
        noop.push_back(pair.again.process.wallSeconds);
        difference.push_back(first.back() - noop.back());
    }
    bed.Product().Remove();
    std::printf(
        "install summary (%d good runs, median [min..max]): first %s s, no-op %s s, "
        "difference %s s\n",
        int(first.size()), FormatSpread(SpreadOf(first)).c_str(),
        FormatSpread(SpreadOf(noop)).c_str(), FormatSpread(SpreadOf(difference)).c_str());
    std::printf("RESULT difference_median %.3f\n", SpreadOf(difference).median);
    std::fflush(stdout);
    ServeForComparison(bed, options);
    return first.size() == std::size_t(options.repeat) ? 0 : 1;
}

}  // namespace InstallBench
