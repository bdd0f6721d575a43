// Times loading a large update document and reading its five file lists.
// Usage: bench_document [entries] [--per-index]
//   --per-index also times reading every position through the lookup by
//   index, the way a caller without the list accessors would.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "document/update_document.h"
#include "../common/bench_timing.h"
#include "support/scratch.h"
#include "support/update_document_builder.h"

namespace {

using Bench::Clock;
using Bench::MillisecondsSince;
using Bench::ThreadCpuMilliseconds;

std::string BuildDocument(int entries) {
    TestSupport::UpdateDocumentBuilder builder;
    builder.Root("ProductExePath", "bin\\app.exe").Root("FilesServer", "files.example.test");
    const std::string checkSum = "0123456789ABCDEF0123456789ABCDEF";
    for (int i = 0; i < entries; ++i) {
        const std::string name = "data\\d" + std::to_string(i % 100) + "\\file" + std::to_string(i);
        builder.AddFile({"/files/" + name + ".Kelz", name, checkSum, 1000 + i, i % 3 == 0});
    }
    return builder.Build();
}

size_t ReadFiveLists(const UpdateDocument& document) {
    return document.GetServerRelativePaths().size() + document.GetClientRelativePaths().size() +
           document.GetCheckSums().size() + document.GetSizes().size() +
           document.GetCompressedFlags().size();
}

size_t ReadByIndex(const UpdateDocument& document) {
    size_t characters = 0;
    const int count = document.CountElements("UpdateFile", "UpdateFiles");
    for (int i = 0; i < count; ++i) {
        characters += document.GetAttribute("CheckSum", "UpdateFile", "UpdateFiles", i).size();
    }
    return characters;
}

}  // namespace

int main(int argc, char** argv) {
    const int entries = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 50000;
    const bool perIndex = argc > 2 && std::strcmp(argv[2], "--per-index") == 0;
    TestSupport::ScratchFolder folder;
    const std::string path = folder / "update.xml";
    const std::string text = BuildDocument(entries);
    if (!TestSupport::WriteFile(path, text)) {
        std::printf("cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("document: %d entries, %zu bytes\n", entries, text.size());

    UpdateDocument document;
    const double cpuStart = ThreadCpuMilliseconds();
    const Clock::time_point start = Clock::now();
    if (document.Load(path) != UpdateDocument::LoadStatus::Loaded) {
        std::printf("load failed\n");
        return 1;
    }
    const double loadMs = MillisecondsSince(start);
    const Clock::time_point listsStart = Clock::now();
    const size_t listed = ReadFiveLists(document);
    const double listsMs = MillisecondsSince(listsStart);
    const double totalMs = MillisecondsSince(start);
    std::printf("load and check: %.1f ms\nfive lists (%zu values): %.1f ms\n", loadMs, listed,
                listsMs);
    std::printf("total: %.1f ms wall, %.1f ms CPU\n", totalMs, ThreadCpuMilliseconds() - cpuStart);
    if (perIndex) {
        const Clock::time_point indexStart = Clock::now();
        const size_t characters = ReadByIndex(document);
        std::printf("one list by index (%zu characters): %.1f ms\n", characters,
                    MillisecondsSince(indexStart));
    }
    return 0;
}
