#pragma once
// The benchmark's measurements, each printing its rows and a summary.
#include "bench_options.h"

namespace InstallBench {

// First installs of the payload, each followed by a no-op run of the same
// document; then optionally serves the payload for curl.
int RunInstallScenario(const Options& options);
// No-op runs over documents of the given sizes, everything installed.
int RunNoOpScenario(const Options& options);
// Bare starts of the decompressor and of an empty program.
int RunStartsScenario(const Options& options);
// The updater's peak working set while it installs one big file.
int RunMemoryScenario(const Options& options);

}  // namespace InstallBench
