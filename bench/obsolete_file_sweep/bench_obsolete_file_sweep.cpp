// Times the obsolete-file sweep over a data folder of many files.
// Usage: bench_obsolete_file_sweep [files]
//   First sweep: every file is listed, so the time is the walk and the
//   look-ups. Second sweep: every other file is no longer listed, so half
//   the files are deleted and recorded in a scratch product key.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../common/bench_timing.h"
#include "support/scratch.h"
#include "uninstall/obsolete_file_sweep.h"
#include "utils/reg/reg_manager.h"

namespace {

using Bench::Clock;
using Bench::MillisecondsSince;
using Bench::ThreadCpuMilliseconds;

void TimeSweep(const char* label, const std::string& data, const std::string& brand,
               const std::vector<std::string>& kept) {
    const double cpuBefore = ThreadCpuMilliseconds();
    const Clock::time_point start = Clock::now();
    const DWORD result = Uninstall::SweepObsoleteFiles(data, brand, kept, "");
    std::printf("%-28s %6zu listed: %8.1f ms wall, %8.1f ms CPU (result %lu)\n", label, kept.size(),
                MillisecondsSince(start), ThreadCpuMilliseconds() - cpuBefore,
                static_cast<unsigned long>(result));
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    TestSupport::ScratchFolder root;
    TestSupport::ScratchRegistryKey key;
    Utils::RegManager productKey(true, key.Name());
    Utils::g_productKeyManager = &productKey;
    const std::string brand = TestSupport::UniqueName("SweepBench");
    const std::string data = root / brand;

    std::vector<std::string> all, everyOther;
    for (int i = 0; i < files; ++i) {
        const std::string path = "d" + std::to_string(i % 100) + "\\file" + std::to_string(i);
        TestSupport::WriteFile(data + "\\" + path, "x");
        all.push_back(path);
        if (i % 2 == 0) everyOther.push_back(path);
    }
    TimeSweep("all listed, none deleted", data, brand, all);
    TimeSweep("half deleted and recorded", data, brand, everyOther);
    Utils::g_productKeyManager = nullptr;
    return 0;
}
