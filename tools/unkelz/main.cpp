// The general decompressor:
//   unkelz d <compressed> <unpacked>      unpack (exit 0 only when verified)
//   unkelz c [-<level>] <input> <compressed>   pack, level 1..22
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "codec_io.h"
#include "zstd_codec.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "unkelz: usage: unkelz d <compressed> <unpacked> | "
                 "unkelz c [-<level>] <input> <compressed>\n");
    return CodecIo::kUsageExit;
}

bool ParseLevel(const std::string& text, int& level) {
    if (text.size() < 2 || text[0] != '-') return false;
    char* end = nullptr;
    long value = std::strtol(text.c_str() + 1, &end, 10);
    if (*end != '\0' || value < 1 || value > 22) return false;
    level = static_cast<int>(value);
    return true;
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[0] == "d") {
        Kelz::DecompressFile(args[1], args[2]);
        return 0;
    }
    if (args[0] == "c" && (args.size() == 3 || args.size() == 4)) {
        int level = Kelz::kDefaultLevel;
        if (args.size() == 4 && !ParseLevel(args[1], level)) return Usage();
        Kelz::CompressFile(args[args.size() - 2], args[args.size() - 1], level);
        return 0;
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    return CodecIo::RunReportingFailures("unkelz", [&] { return Run(args); });
}
