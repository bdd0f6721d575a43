#include "start_cost.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "engine/files/decompress.h"
#include "payload.h"
#include "scenario_support.h"
#include "scenarios.h"
#include "stopwatch.h"
#include "support/updater_process.h"
#include "utils/file/file_utils.h"

namespace InstallBench {
namespace {

constexpr int kRunWorkers = 15;  // the run's download workers

// Runs job(0..count-1) on threads threads; the seconds it took, -1 on a failed job.
double TimeJobs(int count, int threads, const std::function<bool(int)>& job) {
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    Stopwatch clock;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            for (int i = next++; i < count; i = next++)
                if (!job(i)) failed = true;
        });
    }
    for (std::thread& worker : workers) worker.join();
    return failed ? -1 : clock.Seconds();
}

void Report(const char* what, int count, int threads, double seconds) {
    if (seconds < 0) {
        std::printf("starts %-34s %2d thread(s): FAILED\n", what, threads);
        return;
    }
    std::printf("starts %-34s %2d thread(s): %d in %.2f s, %.1f ms each\n", what, threads, count,
                seconds, seconds * 1000 / count);
    std::fflush(stdout);
}

// A packed copy of a payload file of the given size.
std::string PackedFile(const std::string& tool, const std::string& folder, long long bytes,
                       int seed) {
    PayloadPlan plan;
    plan.files = 1;
    plan.fileBytes = bytes;
    plan.bigBytes = 0;
    plan.packEvery = 1;
    std::vector<PayloadFile> files =
        WritePayload(plan, folder + "\\source" + std::to_string(seed), tool);
    return files.empty() ? "" : files[0].servedFile;
}

}  // namespace

void MeasureDecompressorStarts(const std::string& tool, const std::string& emptyProgram,
                               const std::string& folder, int count) {
    Utils::File::DeleteTree(folder);
    CreateFolders(folder);
    const std::string trivial = PackedFile(tool, folder, 16, 1);
    const std::string oneMb = PackedFile(tool, folder, 1 << 20, 2);
    if (trivial.empty() || oneMb.empty()) {
        std::printf("starts: could not prepare the packed files\n");
        return;
    }
    auto unpack = [&](const std::string& packed) {
        return [&, packed](int i) {
            return Engine::DecompressTo(packed, folder + "\\out" + std::to_string(i), tool, "");
        };
    };
    auto empty = [&](int) { return TestSupport::RunToSuccess("\"" + emptyProgram + "\""); };
    for (int threads : {1, kRunWorkers}) {
        Report("empty GUI program (product stand-in)", count, threads,
               TimeJobs(count, threads, empty));
        Report("unkelz d, 16-byte file", count, threads, TimeJobs(count, threads, unpack(trivial)));
        Report("unkelz d, 1 MB file", count, threads, TimeJobs(count, threads, unpack(oneMb)));
    }
    Utils::File::DeleteTree(folder);
}

int RunStartsScenario(const Options& options) {
    const std::string root = ScratchRoot();
    Utils::File::DeleteTree(root);
    CreateFolders(root);
    const std::string tool = root + "\\unkelz.exe";
    const std::string product = root + "\\product.exe";
    if (!::CopyFileA(TestSupport::ToWindowsPath(UNKELZ_EXE).c_str(), tool.c_str(), FALSE) ||
        !::CopyFileA(TestSupport::ToWindowsPath(PRODUCT_EXE).c_str(), product.c_str(), FALSE)) {
        std::printf("could not copy the programs\n");
        return 1;
    }
    MeasureDecompressorStarts(tool, product, root + "\\starts", options.starts);
    Utils::File::DeleteTree(root);
    return 0;
}

}  // namespace InstallBench
