#pragma once
// What the scenarios share: the brand and scratch folder of the benchmark,
// and the texts of their rows.
#include <string>

#include "install_bed.h"

namespace InstallBench {

constexpr char kBrand[] = "NimbraBenchRun";

// <temporary folder>\nimbra_bench_run
std::string ScratchRoot();
void PrintPayload(const InstallBed& bed);
// True when the run ended with exit code 0; prints what a failed run reported.
bool Succeeded(const BedRun& run);
// Seconds after the start: "document 0.17, copy 0.79, shortcuts 1.41 1.43 1.44, exit 1.48".
std::string Timeline(const BedRun& run);

}  // namespace InstallBench
