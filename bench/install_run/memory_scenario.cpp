// The updater's peak working set while it installs one big file: it should
// not grow with the file, as transfers stream to disk.
#include <cstdio>
#include <vector>

#include "scenario_support.h"
#include "scenarios.h"
#include "spread.h"

namespace InstallBench {
namespace {

bool MeasureOnce(InstallBed& bed, long long sizeMb, int rep, int repeat,
                 std::vector<double>& peaks) {
    bed.Product().Remove();
    const BedRun run = bed.Run(false);
    const int listed = int(bed.Files().size());
    const int installed = bed.Product().CountInstalled(bed.Files());
    const bool ok = Succeeded(run) && installed == listed;
    char afterExit[32] = "not reported";
    if (run.process.peakAfterExitMb >= 0)
        std::snprintf(afterExit, sizeof(afterExit), "%.1f MB", run.process.peakAfterExitMb);
    std::printf(
        "memory %lld MB %d/%d: peak working set %.1f MB while running (after the exit: "
        "%s), wall %.2f s, installed %d/%d%s\n",
        sizeMb, rep, repeat, run.process.peakWhileRunningMb, afterExit, run.process.wallSeconds,
        installed, listed, ok ? "" : " FAILED");
    std::fflush(stdout);
    if (ok) peaks.push_back(run.process.peakWhileRunningMb);
    return ok;
}

}  // namespace

int RunMemoryScenario(const Options& options) {
    InstallBed bed(kBrand, ScratchRoot(), options.withOutput);
    if (!bed.Start()) {
        std::printf("could not prepare the server or the stamped updater\n");
        return 1;
    }
    bool allGood = true;
    for (long long sizeMb : options.bigSizesMb) {
        PayloadPlan plan;
        plan.files = 0;
        plan.bigBytes = sizeMb << 20;
        if (!bed.Load(plan)) return 1;
        std::vector<double> peaks;
        for (int rep = 1; rep <= options.repeat; ++rep)
            allGood = MeasureOnce(bed, sizeMb, rep, options.repeat, peaks) && allGood;
        std::printf("memory %lld MB summary: peak working set %s MB\n", sizeMb,
                    FormatSpread(SpreadOf(peaks), "%.1f").c_str());
    }
    bed.Product().Remove();
    return allGood ? 0 : 1;
}

}  // namespace InstallBench
