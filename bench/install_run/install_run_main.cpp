// Whole runs of the stamped updater under Wine, against the in-process test
// server: first installs, no-op runs, decompressor starts, peak memory.
// See run.sh for the usual sequence and the curl comparison.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_options.h"
#include "scenarios.h"
#include "support/window_driver.h"

int main(int argc, char** argv) {
    using namespace InstallBench;
    const Options options = ParseOptions(argc, argv);
    if (options.scenario == Scenario::None) {
        PrintUsage();
        return 2;
    }
    // The stamping helper finds the updater and the tool through this.
    const char* build = std::getenv("PROJECT_BUILD_DIR");
    if (build == nullptr || *build == '\0')
        _putenv((std::string("PROJECT_BUILD_DIR=") + BENCH_BUILD_DIR).c_str());
    TestSupport::PrepareTestDesktop();
    switch (options.scenario) {
        case Scenario::Install:
            return RunInstallScenario(options);
        case Scenario::NoOp:
            return RunNoOpScenario(options);
        case Scenario::Starts:
            return RunStartsScenario(options);
        case Scenario::Memory:
            return RunMemoryScenario(options);
        case Scenario::None:
            break;
    }
    return 2;
}
