#include "bench_payload.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "support/updater_process.h"
#include "utils/unique_handle.h"

namespace Bench {
namespace {

// Text-like bytes, so that the compressor has something to do.
std::string Block(std::size_t size, unsigned seed) {
    std::string block(size, ' ');
    unsigned state = seed * 2654435761u + 7;
    for (char& c : block) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>('a' + (state >> 16) % 20);
    }
    return block;
}

bool WriteGenerated(const std::string& path, long long size, unsigned seed) {
    Utils::UniqueStdioFile file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    const std::string block = Block(1 << 20, seed);
    for (long long left = size; left > 0; left -= static_cast<long long>(block.size())) {
        std::size_t part = static_cast<std::size_t>(std::min<long long>(left, block.size()));
        if (std::fwrite(block.data(), 1, part, file.Get()) != part) return false;
    }
    return std::fclose(file.Release()) == 0;
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

std::string WindowsPath(const char* linuxPath) {
    std::string path = std::string("Z:") + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::vector<UpdateFileEntry> WritePayload(const PayloadPlan& plan, const std::string& folder,
                                          const std::string& compressor) {
    std::vector<UpdateFileEntry> entries;
    for (int i = 0; i <= plan.smallFiles; ++i) {
        bool big = i == plan.smallFiles;
        bool packed = !big && plan.packEvery > 0 && i % plan.packEvery == 0;
        std::string name = big ? "big.bin" : "f" + std::to_string(i) + ".dat";
        std::string plain = folder + "\\" + name;
        if (!WriteGenerated(plain, big ? plan.bigBytes : plan.smallBytes, i)) return {};
        std::string served = plain;
        if (packed) {
            served = plain + ".Kelz";
            if (!TestSupport::RunToSuccess(compressor + " c " + plain + " " + served)) return {};
            DeleteFileA(plain.c_str());
        }
        UpdateFileEntry entry;
        entry.serverRelativePath = "/files/" + name + (packed ? ".Kelz" : "");
        entry.clientRelativePath = "payload\\" + name;
        entry.checkSum = "bench-" + std::to_string(i);
        entry.size = FileSize(served);
        entry.isCompressed = packed;
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace Bench
