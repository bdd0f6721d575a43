// No-op runs: every listed file is installed, so a run fetches the document,
// finds nothing to do and ends. Documents of several sizes show the cost of
// one more listed file.
#include <cstdio>
#include <utility>
#include <vector>

#include "scenario_support.h"
#include "scenarios.h"
#include "spread.h"

namespace InstallBench {
namespace {

constexpr long long kTinyFileBytes = 1024;
// The dialog pauses 600 ms whenever the bar reaches 100: a no-op run gets
// there twice, once when the update document's own transfer completes and
// once when the run finds nothing to fetch.
constexpr double kNoOpPauseSeconds = 2 * 0.6;

struct NoOpSeries {
    std::vector<double> walls, documents, copies, firstShortcuts, lastShortcuts;
    bool ok = true;
};

// Leaves the document's files installed, directly or by a first install.
bool Populate(InstallBed& bed, const Options& options, int size) {
    bed.Product().Remove();
    Stopwatch clock;
    if (options.populateByInstall) {
        const BedRun install = bed.Run(false);
        std::printf(
            "noop %d: populated by a first install in %.2f s (%d file requests, exit %lu)\n", size,
            install.process.wallSeconds, install.requests.fileRequests, install.process.exitCode);
        return Succeeded(install);
    }
    if (!bed.Product().WriteInstalled(bed.Files())) {
        std::printf("noop %d: could not write the installed files\n", size);
        return false;
    }
    std::printf("noop %d: files and records written directly in %.2f s\n", size, clock.Seconds());
    return true;
}

void RunOnce(InstallBed& bed, const Options& options, int size, int rep, NoOpSeries& series) {
    const int listed = int(bed.Files().size());
    const BedRun run = bed.Run(options.watchDialog);
    const int records = bed.Product().CountRecords();
    const bool ok = Succeeded(run) && run.requests.fileRequests == 0 && records == listed;
    std::printf(
        "noop %d %d/%d: wall %.2f s, less the %.1f s of pauses %.2f s | %s | %d file "
        "requests, %d/%d records, exit %lu%s\n",
        size, rep, options.repeat, run.process.wallSeconds, kNoOpPauseSeconds,
        run.process.wallSeconds - kNoOpPauseSeconds, Timeline(run).c_str(),
        run.requests.fileRequests, records, listed, run.process.exitCode, ok ? "" : " FAILED");
    std::fflush(stdout);
    series.ok = series.ok && ok;
    if (!ok) return;
    series.walls.push_back(run.process.wallSeconds);
    series.documents.push_back(run.requests.document);
    series.copies.push_back(run.marks.updaterCopy);
    series.firstShortcuts.push_back(run.marks.menuShortcut);
    series.lastShortcuts.push_back(run.marks.uninstallShortcut);
}

void PrintSummary(int size, int listed, const NoOpSeries& s) {
    std::printf(
        "noop %d summary (%d listed files, median [min..max], seconds after the start): "
        "exit %s, document %s, copy %s, first shortcut %s, last shortcut %s\n",
        size, listed, FormatSpread(SpreadOf(s.walls)).c_str(),
        FormatSpread(SpreadOf(s.documents)).c_str(), FormatSpread(SpreadOf(s.copies)).c_str(),
        FormatSpread(SpreadOf(s.firstShortcuts)).c_str(),
        FormatSpread(SpreadOf(s.lastShortcuts)).c_str());
}

// The wall time each further listed file adds, from the smallest document to each other.
void PrintPerFileCost(const std::vector<std::pair<int, double>>& medians) {
    for (std::size_t i = 1; i < medians.size(); ++i) {
        const double perFile =
            (medians[i].second - medians[0].second) / (medians[i].first - medians[0].first);
        std::printf("noop per listed file, %d -> %d files: %.3f ms\n", medians[0].first,
                    medians[i].first, perFile * 1000);
    }
}

}  // namespace

int RunNoOpScenario(const Options& options) {
    InstallBed bed(kBrand, ScratchRoot(), options.withOutput);
    if (!bed.Start()) {
        std::printf("could not prepare the server or the stamped updater\n");
        return 1;
    }
    bool allGood = true;
    std::vector<std::pair<int, double>> medians;
    for (int size : options.documentSizes) {
        PayloadPlan plan;
        plan.files = size;
        plan.fileBytes = kTinyFileBytes;
        plan.bigBytes = 0;
        if (!bed.Load(plan) || !Populate(bed, options, size)) return 1;
        NoOpSeries series;
        for (int rep = 1; rep <= options.repeat; ++rep) RunOnce(bed, options, size, rep, series);
        PrintSummary(size, int(bed.Files().size()), series);
        medians.emplace_back(int(bed.Files().size()), SpreadOf(series.walls).median);
        allGood = allGood && series.ok;
    }
    PrintPerFileCost(medians);
    bed.Product().Remove();
    return allGood ? 0 : 1;
}

}  // namespace InstallBench
