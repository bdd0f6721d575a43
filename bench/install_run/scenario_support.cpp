#include "scenario_support.h"

#include <windows.h>

#include <cstdio>

namespace InstallBench {

std::string ScratchRoot() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "nimbra_bench_run";
}

void PrintPayload(const InstallBed& bed) {
    long long served = 0;
    int compressed = 0;
    for (const PayloadFile& file : bed.Files()) {
        served += file.servedBytes;
        compressed += file.compressed;
    }
    std::printf("document: %d files (%d compressed), %.1f MB served\n", int(bed.Files().size()),
                compressed, served / (1024.0 * 1024.0));
    std::fflush(stdout);
}

bool Succeeded(const BedRun& run) {
    if (!run.process.messageBoxText.empty())
        std::printf("  the run reported: %s\n", run.process.messageBoxText.c_str());
    return run.process.started && run.process.exitCode == 0;
}

std::string Timeline(const BedRun& run) {
    char text[300];
    const Milestones& m = run.marks;
    int used = std::snprintf(text, sizeof(text), "document %.2f, copy %.2f", run.requests.document,
                             m.updaterCopy);
    if (run.process.dialogShown >= 0)
        used += std::snprintf(text + used, sizeof(text) - used, ", dialog %.2f, bar full %.2f",
                              run.process.dialogShown, run.process.barFull);
    used += std::snprintf(text + used, sizeof(text) - used, ", shortcuts %.2f %.2f %.2f",
                          m.menuShortcut, m.desktopShortcut, m.uninstallShortcut);
    if (run.process.finishedShown >= 0)
        used += std::snprintf(text + used, sizeof(text) - used, ", finished %.2f",
                              run.process.finishedShown);
    std::snprintf(text + used, sizeof(text) - used, ", exit %.2f", run.process.wallSeconds);
    return text;
}

}  // namespace InstallBench
